#include "FeatureToggle/Diagnostics/LiveToggles.hpp"

#include <algorithm>
#include <functional>
#include <optional>

#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/Diagnostics/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"

namespace FeatureToggle {

namespace {

ToggleKind KindOf(const Toggle& toggle) {
    if (dynamic_cast<const ReleaseToggle*>(&toggle) != nullptr) {
        return ToggleKind::Release;
    }
    if (dynamic_cast<const DebugToggle*>(&toggle) != nullptr) {
        return ToggleKind::Debug;
    }
    return ToggleKind::Other;
}

std::string NameOf(const ToggleId& id) {
    if (const auto* file = dynamic_cast<const FileBasedToggleIdData*>(id.GetData())) {
        return file->GetIdString().ToCStr();
    }
    if (const auto* preference = dynamic_cast<const RegistryBasedToggleIdData*>(id.GetData())) {
        return std::string(preference->GetPath().ToCStr()) + '/' + preference->GetName().ToCStr();
    }
    return id.GetDisplayString().ToCStr();
}

}  // namespace

std::vector<LiveToggleRecord> ListLiveToggles() {
    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    const FileBasedToggleStatusEvaluator& fileOverrides = GetReleaseToggleStatusEvaluator();
    const ToggleStatusOverrideEvaluator& testOverrides = ToggleStatusOverrideEvaluator::GetInstance();

    std::vector<LiveToggleRecord> records;
    for (const ToggleId& id : registry.GetRegisteredToggleIds()) {
        std::optional<ToggleInfo> info;
        ToggleKind kind = ToggleKind::Other;
        registry.EnumerateTogglesById(id, std::function<void(Toggle&)>([&](Toggle& toggle) {
                                          if (!info.has_value()) {
                                              info = ToggleInfo::FromToggle(toggle);
                                              kind = KindOf(toggle);
                                          }
                                          info->wasQueried =
                                              info->wasQueried || ToggleAccessor::WasQueried(toggle);
                                      }));
        // Empty only when all toggles of the identity went away on another thread meanwhile.
        if (!info.has_value()) {
            continue;
        }
        LiveToggleRecord record;
        record.kind = kind;
        record.displayName = id.GetDisplayString().ToCStr();
        record.name = NameOf(id);
        record.defaultStatus = info->defaultStatus;
        record.currentStatus = info->currentStatus;
        record.wasQueried = info->wasQueried;
        record.overriddenByFile = kind == ToggleKind::Release && fileOverrides.Contains(id);
        record.overriddenByTest = testOverrides.Contains(id);
        records.push_back(std::move(record));
    }
    std::sort(records.begin(), records.end(),
              [](const LiveToggleRecord& left, const LiveToggleRecord& right) {
                  return left.displayName < right.displayName;
              });
    return records;
}

const char* GetToggleKindName(ToggleKind kind) {
    switch (kind) {
        case ToggleKind::Release:
            return "release";
        case ToggleKind::Debug:
            return "debug";
        case ToggleKind::Other:
            break;
    }
    return "other";
}

}  // namespace FeatureToggle
