#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "ZelkRoot/Exceptions.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

AutomaticallyEvaluatedToggle::AutomaticallyEvaluatedToggle(const ToggleIdData& idData,
                                                           ToggleDefaultStatus defaultStatus,
                                                           const ToggleStatusEvaluator& evaluator,
                                                           EvaluationStrategy strategy)
    : AutomaticallyEvaluatedToggle(idData, defaultStatus, evaluator, strategy, nullptr) {}

AutomaticallyEvaluatedToggle::AutomaticallyEvaluatedToggle(const ToggleIdData& idData,
                                                           ToggleDefaultStatus defaultStatus,
                                                           const ToggleStatusEvaluator& evaluator,
                                                           EvaluationStrategy strategy,
                                                           const char* description)
    : Toggle(idData, defaultStatus, description), evaluationStrategy(strategy), evaluator(evaluator) {
    // Once evaluated, the status never changes: it is published inside that one computation (the
    // contract of a toggle kind, in Toggle.hpp).
    if (strategy == EvaluationStrategy::EvaluateOnce) {
        SetPlainStatusKind(typeid(AutomaticallyEvaluatedToggle));
    }
}

AutomaticallyEvaluatedToggle::~AutomaticallyEvaluatedToggle() = default;

ToggleStatus AutomaticallyEvaluatedToggle::GetCurrentStatusImpl() const {
    switch (evaluationStrategy) {
        case EvaluationStrategy::EvaluateOnce:
            return cachedStatus.GetOrCompute([this] {
                // A platform failure must not end the process inside the once protocol; the
                // toggle stays off instead.
                ToggleStatus status = ToggleStatus::Disabled;
                try {
                    status = Evaluate();
                } catch (const Zelk::ZelkException&) {
                }
                PublishKindStatus(status);
                return status;
            });
        case EvaluationStrategy::EvaluateAlways:
            return Evaluate();
    }
    return ToggleStatus::Disabled;
}

bool AutomaticallyEvaluatedToggle::IsDefaultValueOverriddenImpl() const {
    const ToggleStatus defaultStatus = ToStatus(GetDefaultStatus());
    return GetCurrentStatusImpl() != defaultStatus;
}

// Out of line, so that a read of the cached status sets up no frame for the evaluator's call.
FEATURETOGGLE_NOINLINE ToggleStatus AutomaticallyEvaluatedToggle::Evaluate() const {
    const Zelk::Optional<ToggleStatus> answer = evaluator.EvaluateToggleStatus(GetToggleId());
    return answer.HasValue() ? answer.Get() : ToStatus(GetDefaultStatus());
}

}  // namespace FeatureToggle
