#pragma once

#include <cstdint>

#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggle {

enum class EvaluationStrategy : std::int32_t {
    // The evaluator is asked at the first status computation; the answer stays.
    EvaluateOnce = 0,
    // The evaluator is asked at every status computation.
    EvaluateAlways = 1,
};

// A toggle that asks its evaluator by itself, once or every time. Without an answer it falls
// back to its default. The evaluator is not owned and must outlive the toggle.
class FEATURETOGGLE_EXPORT AutomaticallyEvaluatedToggle : public Toggle {
public:
    AutomaticallyEvaluatedToggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus,
                                 const ToggleStatusEvaluator& evaluator, EvaluationStrategy strategy);
    // The same, with a description that lives as long as the toggle (null: none).
    AutomaticallyEvaluatedToggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus,
                                 const ToggleStatusEvaluator& evaluator, EvaluationStrategy strategy,
                                 const char* description);
    ~AutomaticallyEvaluatedToggle() override;

protected:
    // EvaluateOnce: a Zelk::ZelkException from the evaluator makes the status Disabled for good.
    // An unknown strategy gives Disabled without asking the evaluator.
    ToggleStatus GetCurrentStatusImpl() const override;
    // Whether the computed status differs from the default's; may run the first evaluation.
    bool IsDefaultValueOverriddenImpl() const override;

private:
    ToggleStatus Evaluate() const;

    EvaluationStrategy evaluationStrategy;
    mutable OnceValue<ToggleStatus> cachedStatus;
    const ToggleStatusEvaluator& evaluator;
};

}  // namespace FeatureToggle
