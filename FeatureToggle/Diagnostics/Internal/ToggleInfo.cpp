#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"

#include "FeatureToggle/ToggleAccessor.hpp"

namespace FeatureToggle {

// The members are read in declaration order; the passkey read leaves the queried mark alone.
ToggleInfo ToggleInfo::FromToggle(const Toggle& toggle) {
    return ToggleInfo{
        ToggleId(ToggleAccessor::GetToggleId(toggle)),       ToggleAccessor::GetDefaultStatus(toggle),
        toggle.GetCurrentStatus(Zelk::Friend<ToggleInfo>()), false,
        ToggleAccessor::IsDefaultValueOverridden(toggle),
    };
}

}  // namespace FeatureToggle
