#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

// The identity of a toggle whose status is a stored boolean preference: the preference's root
// domain, path and value name, with a kind name that labels the family ("Debug"). Displayed as
// [Debug]  path="Path" key="Name"; the domain is not shown.
class FEATURETOGGLE_EXPORT RegistryBasedToggleIdData : public ToggleIdData {
public:
    RegistryBasedToggleIdData(const Zelk::String& kindName, ZelkPref::RootKeyDomain domain,
                              const Zelk::String& path, const Zelk::String& name);
    FEATURETOGGLE_IDENTITY_KIND_SPECIAL_MEMBERS(RegistryBasedToggleIdData);

    FEATURETOGGLE_IDENTITY_KIND_OPERATIONS;

    ZelkPref::RootKeyDomain GetDomain() const;
    Zelk::String GetPath() const;
    Zelk::String GetName() const;

private:
    Zelk::String kindName;
    ZelkPref::RootKeyDomain domain;
    Zelk::String path;
    Zelk::String name;
};

}  // namespace FeatureToggle
