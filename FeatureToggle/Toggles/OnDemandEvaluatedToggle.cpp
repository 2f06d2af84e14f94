#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

OnDemandEvaluatedToggle::OnDemandEvaluatedToggle(const ToggleIdData& idData,
                                                 ToggleDefaultStatus defaultStatus,
                                                 const ToggleStatusEvaluator& evaluator,
                                                 OnDemandEvaluationOptions options)
    : OnDemandEvaluatedToggle(idData, defaultStatus, evaluator, options, nullptr) {}

OnDemandEvaluatedToggle::OnDemandEvaluatedToggle(const ToggleIdData& idData,
                                                 ToggleDefaultStatus defaultStatus,
                                                 const ToggleStatusEvaluator& evaluator,
                                                 OnDemandEvaluationOptions options, const char* description)
    : Toggle(idData, defaultStatus, description), evaluator(evaluator) {
    // Nobody can have queried the toggle yet, so there is nothing to report here.
    if (static_cast<std::int32_t>(options) == 0) {
        evaluatedStatus =
            ApplyStartupOverrides(GetToggleId(), this->evaluator.EvaluateToggleStatus(GetToggleId()));
    }
    // Published for queries on any thread (the contract of a toggle kind, in Toggle.hpp), here and
    // at every change below.
    PublishEvaluatedStatus();
}

OnDemandEvaluatedToggle::~OnDemandEvaluatedToggle() = default;

void OnDemandEvaluatedToggle::Evaluate(Zelk::Friend<OnDemandEvaluatedToggleEvaluationTriggerer>) {
    // A trigger may change an answer but never takes one back.
    const Zelk::Optional<ToggleStatus> answer =
        ApplyStartupOverrides(GetToggleId(), evaluator.EvaluateToggleStatus(GetToggleId()));
    if (answer.HasValue()) {
        evaluatedStatus = answer;
        PublishEvaluatedStatus();
    }
    // Client code may have acted on the default; the new status stands all the same.
    if (WasQueried()) {
        const Zelk::String message =
            GetToggleId().GetDisplayString() + Zelk::String(" was queried before evaluation.");
        ErrorReporter::ReportError(message.ToCStr());
    }
}

void OnDemandEvaluatedToggle::PublishEvaluatedStatus() {
    const ToggleStatus status =
        evaluatedStatus.HasValue() ? evaluatedStatus.Get() : ToStatus(GetDefaultStatus());
    Zelk::AtomicStoreRelease(&publishedStatus, static_cast<Zelk::Int32>(status));
    PublishKindStatus(status);
}

// Queries on other threads may meet a trigger: they read the published status, never the field.
ToggleStatus OnDemandEvaluatedToggle::GetCurrentStatusImpl() const {
    return static_cast<ToggleStatus>(Zelk::AtomicLoadAcquire(&publishedStatus));
}

bool OnDemandEvaluatedToggle::IsDefaultValueOverriddenImpl() const {
    return evaluatedStatus.HasValue();
}

void OnDemandEvaluatedToggleEvaluationTriggerer::Evaluate(OnDemandEvaluatedToggle& toggle) {
    toggle.Evaluate(Zelk::Friend<OnDemandEvaluatedToggleEvaluationTriggerer>());
}

void OnDemandEvaluatedToggleEvaluationTriggerer::EvaluateAllInstances() {
    const std::function<void(OnDemandEvaluatedToggle&)> evaluate = [](OnDemandEvaluatedToggle& toggle) {
        Evaluate(toggle);
    };
    ToggleRegistry::GetInstance().EnumerateToggles<OnDemandEvaluatedToggle>(evaluate);
}

}  // namespace FeatureToggle
