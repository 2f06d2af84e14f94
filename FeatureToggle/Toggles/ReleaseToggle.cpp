#include "FeatureToggle/Toggles/ReleaseToggle.hpp"

#include <utility>

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Diagnostics/Core/Internal/OverrideLog.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileReader.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/ReleaseOverrideLoad.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"
#include "Fenlo.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

namespace {

// The release evaluator comes first, whatever order the compiler picks for the base's arguments:
// it makes the kind name that the identity then copies.
FileBasedToggleIdData MakeReleaseToggleIdData(const Zelk::String& name) {
    static_cast<void>(GetReleaseToggleStatusEvaluator());
    return FileBasedToggleIdData(GetReleaseToggleKind(), name);
}

int ReadOverrideFile(FileBasedToggleStatusEvaluator& evaluator, ReleaseOverrideLoadOutcome& outcome) {
    // A failed lookup or append leaves the location as it is; the reader's own checks decide.
    IO::Location location;
    static_cast<void>(IO::fileSystem.GetSpecialLocation(IO::ReleaseToggleOverridesFolder, location));
    outcome.folder = location.ToDisplayText().ToCStr();
    static_cast<void>(location.AppendToLocal(IO::Name("ReleaseToggleOverrides.xml")));
    outcome.file = location.ToDisplayText().ToCStr();

    OverrideFileReadRecord record;
    outcome.result = evaluator.ReadFromXMLFileIfExists(location, record);
    static_cast<OverrideFileReadSummary&>(outcome) = std::move(record);
    outcome.reason = DescribeOverrideFileFault(outcome.fault);
    return outcome.result;
}

}  // namespace

ReleaseToggle::ReleaseToggle(const Zelk::String& name, ToggleDefaultStatus defaultStatus)
    : ReleaseToggle(name, defaultStatus, nullptr) {}

ReleaseToggle::ReleaseToggle(const Zelk::String& name, ToggleDefaultStatus defaultStatus,
                             const char* description)
    : OnDemandEvaluatedToggle(MakeReleaseToggleIdData(name), defaultStatus, GetReleaseToggleStatusEvaluator(),
                              OnDemandEvaluationOptions::EvaluateAtConstruction, description) {
    // Its on-demand base publishes every status; see the contract of a toggle kind in Toggle.hpp.
    SetPlainStatusKind(typeid(ReleaseToggle));
}

ReleaseToggle::~ReleaseToggle() = default;

void ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile() {
    FileBasedToggleStatusEvaluator& evaluator = GetReleaseToggleStatusEvaluator();
    ReleaseOverrideLoadOutcome outcome;
    outcome.loadAttempted = true;
    const int result = ReadOverrideFile(evaluator, outcome);
    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    evaluator.EnumerateMappedToggleIds([&](const ToggleId& id, ToggleStatus) {
        ++outcome.entriesApplied;
        registry.EnumerateTogglesById(
            id, std::function<void(Toggle&)>([&outcome](Toggle&) { ++outcome.togglesSetByFile; }));
    });
    GetLastReleaseOverrideLoadOutcome() = std::move(outcome);
    if (result != 0) {
        const Zelk::String message(InvalidOverrideFileReport);
        ErrorReporter::ReportError(message.ToCStr());
    }
    // The command line and the environment apply from here on, above the file.
    ActivateStartupOverrides(GetLastReleaseOverrideLoadOutcome());
    // Whatever the file gave, even nothing, the toggles and the log must reflect it.
    OnDemandEvaluatedToggleEvaluationTriggerer::EvaluateAllInstances();
    WriteOverriddenToggleValuesToFastLog(evaluator);
}

}  // namespace FeatureToggle
