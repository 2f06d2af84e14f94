#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"

#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

// The members are read in declaration order; the passkey read leaves the queried mark alone.
ToggleInfo ToggleInfo::FromToggle(const Toggle& toggle) {
    return ToggleInfo{
        ToggleId(ToggleAccessor::GetToggleId(toggle)),       ToggleAccessor::GetDefaultStatus(toggle),
        toggle.GetCurrentStatus(Zelk::Friend<ToggleInfo>()), false,
        ToggleAccessor::IsDefaultValueOverridden(toggle),
    };
}

Zelk::Array<ToggleInfo> ToggleInfo::CollectLiveToggles(
    const std::function<void(const Toggle&, bool startsRecord)>& onToggleSeen) {
    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    Zelk::Array<ToggleInfo> infos;
    for (const ToggleId& id : registry.GetRegisteredToggleIds()) {
        Zelk::Optional<ToggleInfo> info;
        registry.EnumerateTogglesById(id, std::function<void(Toggle&)>([&](Toggle& toggle) {
                                          const bool startsRecord = !info.HasValue();
                                          if (startsRecord) {
                                              info = FromToggle(toggle);
                                          }
                                          if (onToggleSeen) {
                                              onToggleSeen(toggle, startsRecord);
                                          }
                                          info.Get().wasQueried =
                                              info.Get().wasQueried || ToggleAccessor::WasQueried(toggle);
                                      }));
        // Empty only when all toggles of the identity went away on another thread meanwhile.
        if (info.HasValue()) {
            infos.Push(std::move(info.Get()));
        }
    }
    return infos;
}

}  // namespace FeatureToggle
