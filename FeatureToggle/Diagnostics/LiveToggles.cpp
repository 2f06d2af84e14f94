#include "FeatureToggle/Diagnostics/LiveToggles.hpp"

#include <algorithm>
#include <functional>

#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Diagnostics/Internal/StatusSourceLookup.hpp"
#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
#include "ZelkRoot/Containers.hpp"

namespace FeatureToggle {

namespace {

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

    // What the records do not hold, in record order: the first toggle's kind and description, and
    // whether the toggles of the identity disagree on their default.
    struct Extras {
        ToggleKind kind;
        ToggleStatus firstDefault;
        bool defaultsDisagree;
        const char* description;
    };
    std::vector<Extras> extras;
    const Zelk::Array<ToggleInfo> infos =
        ToggleInfo::CollectLiveToggles([&extras](const Toggle& toggle, bool startsRecord) {
            const ToggleStatus defaultStatus = ToStatus(ToggleAccessor::GetDefaultStatus(toggle));
            if (startsRecord) {
                extras.push_back(
                    Extras{GetToggleKind(toggle), defaultStatus, false, GetToggleDescription(toggle)});
            } else if (defaultStatus != extras.back().firstDefault) {
                extras.back().defaultsDisagree = true;
            }
        });

    std::vector<LiveToggleRecord> records;
    for (std::size_t index = 0; index < infos.GetSize(); ++index) {
        const ToggleInfo& info = infos[index];
        const ToggleKind kind = extras[index].kind;
        LiveToggleRecord record;
        record.kind = kind;
        record.displayName = info.toggleId.GetDisplayString().ToCStr();
        record.name = NameOf(info.toggleId);
        record.defaultStatus = info.defaultStatus;
        record.defaultsDisagree = extras[index].defaultsDisagree;
        record.currentStatus = info.currentStatus;
        record.wasQueried = info.wasQueried;
        record.overriddenByFile = kind == ToggleKind::Release && fileOverrides.Contains(info.toggleId);
        record.overriddenByTest = testOverrides.Contains(info.toggleId);
        record.source =
            FindToggleStatusSource(info.toggleId, kind, record.overriddenByFile, record.overriddenByTest);
        record.description = extras[index].description;
        records.push_back(std::move(record));
    }
    std::sort(records.begin(), records.end(),
              [](const LiveToggleRecord& left, const LiveToggleRecord& right) {
                  return left.displayName < right.displayName;
              });
    return records;
}

}  // namespace FeatureToggle
