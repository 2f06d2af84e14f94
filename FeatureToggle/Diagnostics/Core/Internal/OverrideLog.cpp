#include "FeatureToggle/Diagnostics/Core/Internal/OverrideLog.hpp"

#include <cstdint>
#include <functional>

#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "ZelkRoot.hpp"

namespace FeatureToggle {

namespace {

// How a status of the file compares with the defaults of the live toggles of its identity.
enum DefaultComparison : std::uint32_t {
    UnknownToggle = 0,
    SameAsDefault = 1,
    DiffersFromDefault = 2,
    InconsistentDefaults = 3,
};

const char* GetRemark(DefaultComparison comparison) {
    switch (comparison) {
        case SameAsDefault:
            return "Same as default";
        case DiffersFromDefault:
            return "Differs from default";
        case InconsistentDefaults:
            return "Inconsistent default values";
        case UnknownToggle:
            break;
    }
    return "Unknown toggle";
}

// One entry of the evaluator's table, with its verdict. The key stays in the table, which
// nothing changes while the log is written.
struct LoggedToggleInfo {
    const ToggleId* toggleId;
    ToggleStatus status;
    DefaultComparison defaultComparison;
};

// Merges one toggle's verdict into what the toggles before it gave.
DefaultComparison Combine(DefaultComparison sofar, DefaultComparison verdict) {
    if (sofar == UnknownToggle) {
        return verdict;
    }
    return sofar == verdict ? sofar : InconsistentDefaults;
}

}  // namespace

void WriteOverriddenToggleValuesToFastLog(const FileBasedToggleStatusEvaluator& evaluator) {
    static const Zelk::InfoLogLine headerLine("% ReleaseToggle statuses overridden by config file", nullptr,
                                              nullptr);
    static const Zelk::InfoLogLine entryLine("\t% : % (%)", nullptr, nullptr);

    Zelk::Array<LoggedToggleInfo> records;
    evaluator.EnumerateMappedToggleIds([&records](const ToggleId& id, ToggleStatus status) {
        records.Push(LoggedToggleInfo{&id, status, UnknownToggle});
    });

    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    for (LoggedToggleInfo& record : records) {
        // Defaults other than 1 stand for disabled, but are compared by their value.
        const std::int32_t fileValue = record.status == ToggleStatus::Enabled ? 1 : 0;
        registry.EnumerateTogglesById(
            *record.toggleId, std::function<void(Toggle&)>([&record, fileValue](Toggle& toggle) {
                const auto defaultValue = static_cast<std::int32_t>(ToggleAccessor::GetDefaultStatus(toggle));
                const DefaultComparison verdict =
                    defaultValue == fileValue ? SameAsDefault : DiffersFromDefault;
                record.defaultComparison = Combine(record.defaultComparison, verdict);
            }));
    }

    {
        Zelk::FastLogger::LogComposer composer;
        Zelk::logger.Append(headerLine, composer);
        composer.Append(static_cast<Zelk::UInt32>(records.GetSize()));
    }

    for (const LoggedToggleInfo& record : records) {
        const Zelk::String displayString = record.toggleId->GetDisplayString();
        Zelk::FastLogger::LogComposer composer;
        Zelk::logger.Append(entryLine, composer);
        composer.Append(displayString.ToCStr());
        composer.Append(GetStatusName(record.status));
        composer.Append(GetRemark(record.defaultComparison));
    }
}

}  // namespace FeatureToggle
