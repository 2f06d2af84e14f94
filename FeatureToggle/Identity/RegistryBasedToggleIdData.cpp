#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"

#include "FeatureToggle/Identity/Internal/IdentityKind.hpp"

namespace FeatureToggle {

using IdentityKind::ViewOf;

RegistryBasedToggleIdData::RegistryBasedToggleIdData(const Zelk::String& kindName,
                                                     ZelkPref::RootKeyDomain domain, const Zelk::String& path,
                                                     const Zelk::String& name)
    : kindName(kindName), domain(domain), path(path), name(name) {}

FEATURETOGGLE_DEFINE_IDENTITY_KIND_SPECIAL_MEMBERS(RegistryBasedToggleIdData);

Zelk::UInt32 RegistryBasedToggleIdData::GenerateHashValue() const {
    // Base 65599 over the four fields, kindName least significant; 8261505 is 65599 squared
    // modulo 2^32. All of it wraps in 32 bits.
    constexpr Zelk::UInt32 Multiplier = 65599;
    constexpr Zelk::UInt32 MultiplierSquared = 8261505;
    const Zelk::UInt32 low = kindName.GenerateHashValue() + Multiplier * static_cast<Zelk::UInt32>(domain);
    const Zelk::UInt32 high = path.GenerateHashValue() + Multiplier * name.GenerateHashValue();
    return low + MultiplierSquared * high;
}

bool RegistryBasedToggleIdData::Equals(const ToggleIdData& other) const {
    const auto* const otherData = IdentityKind::AsKind<RegistryBasedToggleIdData>(other);
    return otherData != nullptr && kindName == otherData->kindName && domain == otherData->domain &&
           path == otherData->path && name == otherData->name;
}

Zelk::String RegistryBasedToggleIdData::GetDisplayString() const {
    // In one piece: the log and the report ask for it once per toggle.
    return Zelk::String::Join(
        {"[", ViewOf(kindName), "]  path=\"", ViewOf(path), "\" key=\"", ViewOf(name), "\""});
}

ToggleIdData* RegistryBasedToggleIdData::Clone() const {
    return new RegistryBasedToggleIdData(*this);
}

ZelkPref::RootKeyDomain RegistryBasedToggleIdData::GetDomain() const {
    return domain;
}

Zelk::String RegistryBasedToggleIdData::GetPath() const {
    return path;
}

Zelk::String RegistryBasedToggleIdData::GetName() const {
    return name;
}

}  // namespace FeatureToggle
