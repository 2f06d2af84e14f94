#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"

#include "FeatureToggle/Diagnostics/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"

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
    PublishKindStatus(OnDemandEvaluatedToggle::GetCurrentStatusImpl());
}

OnDemandEvaluatedToggle::~OnDemandEvaluatedToggle() = default;

void OnDemandEvaluatedToggle::Evaluate(Zelk::Friend<OnDemandEvaluatedToggleEvaluationTriggerer>) {
    // A trigger may change an answer but never takes one back.
    const Zelk::Optional<ToggleStatus> answer =
        ApplyStartupOverrides(GetToggleId(), evaluator.EvaluateToggleStatus(GetToggleId()));
    if (answer.HasValue()) {
        evaluatedStatus = answer;
        PublishKindStatus(OnDemandEvaluatedToggle::GetCurrentStatusImpl());
    }
    // Client code may have acted on the default; the new status stands all the same.
    if (WasQueried()) {
        const Zelk::String message =
            GetToggleId().GetDisplayString() + Zelk::String(" was queried before evaluation.");
        ErrorReporter::ReportError(message.ToCStr());
    }
}

ToggleStatus OnDemandEvaluatedToggle::GetCurrentStatusImpl() const {
    return evaluatedStatus.HasValue() ? evaluatedStatus.Get() : ToStatus(GetDefaultStatus());
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
