#include <gtest/gtest.h>

#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

using Triggerer = OnDemandEvaluatedToggleEvaluationTriggerer;
constexpr auto OnTrigger = OnDemandEvaluationOptions::EvaluateOnTriggerOnly;

}  // namespace

TEST(OnDemandEvaluatedToggle, TriggerChangesButNeverClearsAnswer) {
    SettableEvaluator evaluator;
    OnDemandEvaluatedToggle toggle(TestId("A"), Off, evaluator, OnTrigger);
    Triggerer::Evaluate(toggle);
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(toggle));
    evaluator.Set("A", ToggleStatus::Enabled);
    Triggerer::Evaluate(toggle);
    evaluator.Unset("A");
    Triggerer::Evaluate(toggle);
    EXPECT_TRUE(IsToggleEnabled(toggle));

    ErrorReporter::ReportGuard reports;
    evaluator.Set("A", ToggleStatus::Disabled);
    Triggerer::Evaluate(toggle);
    EXPECT_FALSE(IsToggleEnabled(toggle));
    // An answer equal to the default's status still overrides it.
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(toggle));
}

TEST(OnDemandEvaluatedToggle, EvaluatedAtConstructionOnlyWhenAskedAndByTriggerOnlyIfOnDemand) {
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    OnDemandEvaluatedToggle a(TestId("A"), Off, evaluator, OnTrigger);
    OnDemandEvaluatedToggle oddOption(TestId("A"), Off, evaluator, static_cast<OnDemandEvaluationOptions>(5));
    OnDemandEvaluatedToggle early(TestId("A"), Off, evaluator,
                                  OnDemandEvaluationOptions::EvaluateAtConstruction);
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(a));
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(oddOption));
    EXPECT_TRUE(IsToggleEnabled(early));
    EXPECT_EQ(evaluator.calls, 1);

    OnDemandEvaluatedToggle b(TestId("B"), Off, evaluator, OnTrigger);
    AutomaticallyEvaluatedToggle automatic(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateAlways);
    Triggerer::EvaluateAllInstances();
    EXPECT_EQ(evaluator.calls, 5);  // the four on-demand toggles, not the automatic one
    EXPECT_TRUE(IsToggleEnabled(a));
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(b));
}
