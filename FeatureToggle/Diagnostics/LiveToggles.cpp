#include "FeatureToggle/Diagnostics/LiveToggles.hpp"

#include <algorithm>
#include <functional>

#include "FeatureToggle/Diagnostics/Internal/StatusSourceLookup.hpp"
#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/Diagnostics/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
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
    const FileBasedToggleStatusEvaluator& fileOverrides = GetReleaseToggleStatusEvaluator();
    const ToggleStatusOverrideEvaluator& testOverrides = ToggleStatusOverrideEvaluator::GetInstance();

    // The kind and description of each record's first toggle, in record order.
    std::vector<ToggleKind> kinds;
    std::vector<const char*> descriptions;
    const Zelk::Array<ToggleInfo> infos = ToggleInfo::CollectFromRegistry([&](const Toggle& toggle) {
        kinds.push_back(KindOf(toggle));
        descriptions.push_back(GetToggleDescription(toggle));
    });

    std::vector<LiveToggleRecord> records;
    for (std::size_t index = 0; index < infos.GetSize(); ++index) {
        const ToggleInfo& info = infos[index];
        const ToggleKind kind = kinds[index];
        LiveToggleRecord record;
        record.kind = kind;
        record.displayName = info.toggleId.GetDisplayString().ToCStr();
        record.name = NameOf(info.toggleId);
        record.defaultStatus = info.defaultStatus;
        record.currentStatus = info.currentStatus;
        record.wasQueried = info.wasQueried;
        record.overriddenByFile = kind == ToggleKind::Release && fileOverrides.Contains(info.toggleId);
        record.overriddenByTest = testOverrides.Contains(info.toggleId);
        record.source =
            FindToggleStatusSource(info.toggleId, kind, record.overriddenByFile, record.overriddenByTest);
        record.description = descriptions[index];
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
