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
    FileBasedToggleIdData(const FileBasedToggleIdData& other);
    FileBasedToggleIdData(FileBasedToggleIdData&& other) noexcept;
    FileBasedToggleIdData& operator=(const FileBasedToggleIdData& other);
    FileBasedToggleIdData& operator=(FileBasedToggleIdData&& other) noexcept;
    ~FileBasedToggleIdData() override;

    // The toggle's name.
    const Zelk::String& GetIdString() const;

protected:
    Zelk::UInt32 GenerateHashValue() const override;
    bool Equals(const ToggleIdData& other) const override;
    Zelk::String GetDisplayString() const override;
    ToggleIdData* Clone() const override;

private:
    Zelk::String kindName;
    Zelk::String idString;
};

}  // namespace FeatureToggle
