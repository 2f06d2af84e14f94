#include <gtest/gtest.h>

#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

using Auto = AutomaticallyEvaluatedToggle;

}  // namespace

TEST(AutomaticallyEvaluatedToggle, OnceKeepsFirstAnswerAlwaysFollowsChanges) {
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    Auto once(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateOnce);
    Auto always(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateAlways);
    // The override check is the first evaluation, though not a query.
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(once));
    EXPECT_FALSE(ToggleAccessor::WasQueried(once));
    EXPECT_TRUE(IsToggleEnabled(always));
    evaluator.Set("A", ToggleStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_FALSE(IsToggleEnabled(always));
    evaluator.Unset("A");
    Auto odd(TestId("A"), static_cast<ToggleDefaultStatus>(2), evaluator, EvaluationStrategy::EvaluateAlways);
    EXPECT_FALSE(IsToggleEnabled(odd));  // no answer: only the default 1 gives Enabled
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(odd));
    EXPECT_EQ(evaluator.calls, 5);  // one for `once`, two each for `always` and `odd`
}

TEST(AutomaticallyEvaluatedToggle, FailuresAndUnknownStrategy) {
    SettableEvaluator evaluator;
    evaluator.throws = true;
    Auto once(TestId("A"), On, evaluator, EvaluationStrategy::EvaluateOnce);
    Auto always(TestId("A"), On, evaluator, EvaluationStrategy::EvaluateAlways);
    EXPECT_FALSE(IsToggleEnabled(once));
    EXPECT_THROW(IsToggleEnabled(always), Zelk::ZelkException);
    evaluator.throws = false;
    EXPECT_FALSE(IsToggleEnabled(once));   // for good
    EXPECT_TRUE(IsToggleEnabled(always));  // nothing remembered

    evaluator.Set("A", ToggleStatus::Enabled);
    evaluator.calls = 0;
    Auto unknown(TestId("A"), On, evaluator, static_cast<EvaluationStrategy>(7));
    EXPECT_FALSE(IsToggleEnabled(unknown));
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(unknown));
    EXPECT_EQ(evaluator.calls, 0);
}

TEST(DebugToggle, ReadsItsUserPreferenceOnce) {
    ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate", "true");
    DebugToggle frameRate("Debug/Rendering", "ShowFrameRate");
    EXPECT_TRUE(IsToggleEnabled(frameRate));
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate", "false");
    EXPECT_TRUE(IsToggleEnabled(frameRate));
}
