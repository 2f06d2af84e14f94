#pragma once

#include <cstdint>

#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

class OnDemandEvaluatedToggleEvaluationTriggerer;

// Tested only for zero.
enum class OnDemandEvaluationOptions : std::int32_t {
    // The constructor asks the evaluator once; triggers ask again later.
    EvaluateAtConstruction = 0,
    // Only triggers ask the evaluator.
    EvaluateOnTriggerOnly = 1,
};

// A toggle that takes its status from its evaluator when an evaluation is triggered, and reports
// its default until one gets an answer. A trigger never clears an answer it already has. A
// trigger that finds the toggle already queried reports "<identity> was queried before
// evaluation." The evaluator is not owned and must outlive the toggle.
class FEATURETOGGLE_EXPORT OnDemandEvaluatedToggle : public Toggle {
public:
    OnDemandEvaluatedToggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus,
                            const ToggleStatusEvaluator& evaluator, OnDemandEvaluationOptions options);
    // The same, with a description that lives as long as the toggle (null: none).
    OnDemandEvaluatedToggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus,
                            const ToggleStatusEvaluator& evaluator, OnDemandEvaluationOptions options,
                            const char* description);
    ~OnDemandEvaluatedToggle() override;

    // One triggered evaluation; only the triggerer can call it.
    void Evaluate(Zelk::Friend<OnDemandEvaluatedToggleEvaluationTriggerer>);

protected:
    // The evaluated status, else the default's. Never asks the evaluator.
    ToggleStatus GetCurrentStatusImpl() const override;
    // True once an evaluation got an answer, even one equal to the default.
    bool IsDefaultValueOverriddenImpl() const override;

private:
    // Sets the status that queries read, on any thread, from `publishedStatus`.
    void PublishEvaluatedStatus();

    Zelk::Optional<ToggleStatus> evaluatedStatus;
    const ToggleStatusEvaluator& evaluator;
    // What GetCurrentStatusImpl answers: `evaluatedStatus`, else the default's status.
    volatile Zelk::Int32 publishedStatus = 0;
};

// The only party that triggers evaluations of on-demand toggles.
class FEATURETOGGLE_EXPORT OnDemandEvaluatedToggleEvaluationTriggerer {
public:
    static void Evaluate(OnDemandEvaluatedToggle& toggle);
    // Evaluates every live on-demand toggle, under the registry's lock.
    static void EvaluateAllInstances();
};

}  // namespace FeatureToggle
