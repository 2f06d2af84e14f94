#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

// The identity of a toggle whose status an override file can set: a kind name that labels the
// family ("Release") and the toggle's name. Displayed as [Release]  name="Name".
class FEATURETOGGLE_EXPORT FileBasedToggleIdData : public ToggleIdData {
public:
    FileBasedToggleIdData(const Zelk::String& kindName, const Zelk::String& idString);
    FEATURETOGGLE_IDENTITY_KIND_SPECIAL_MEMBERS(FileBasedToggleIdData);

    // The toggle's name.
    const Zelk::String& GetIdString() const;

protected:
    FEATURETOGGLE_IDENTITY_KIND_OPERATIONS;

private:
    Zelk::String kindName;
    Zelk::String idString;
};

}  // namespace FeatureToggle
