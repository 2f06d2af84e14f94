#include <gtest/gtest.h>

#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "Support/TestSupport.hpp"
#include "Toggles/ToggleTestAids.hpp"

using namespace FeatureToggleTests;

namespace {

using Auto = AutomaticallyEvaluatedToggle;
constexpr auto Off = ToggleDefaultStatus::Disabled;
constexpr auto On = ToggleDefaultStatus::Enabled;

}  // namespace

TEST(AutomaticallyEvaluatedToggle, OnceKeepsFirstAnswerAlwaysFollowsChanges) {
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    Auto once(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateOnce);
    Auto always(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateAlways);
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_TRUE(IsToggleEnabled(always));
    evaluator.Set("A", ToggleStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_FALSE(IsToggleEnabled(always));
    evaluator.Unset("A");
    Auto odd(TestId("A"), static_cast<ToggleDefaultStatus>(2), evaluator, EvaluationStrategy::EvaluateAlways);
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_FALSE(IsToggleEnabled(odd));  // no answer: only the default 1 gives Enabled
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(odd));
    EXPECT_EQ(evaluator.calls, 5);  // one for `once`, two for `always`, two for `odd`
}

TEST(AutomaticallyEvaluatedToggle, OverriddenCheckPerformsFirstEvaluation) {
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    Auto toggle(TestId("A"), Off, evaluator, EvaluationStrategy::EvaluateOnce);
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(toggle));
    EXPECT_FALSE(ToggleAccessor::WasQueried(toggle));
    evaluator.Set("A", ToggleStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(toggle));
    EXPECT_EQ(evaluator.calls, 1);
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
    TemporaryDirectory folder;
    const auto file = folder.WriteFile("Preferences.xml", R"(<Preferences>
  <Value domain="1" path="Debug/Rendering" name="ShowFrameRate">true</Value>
  <Value domain="1" path="Debug/Rendering" name="Wireframe">false</Value>
  <Value domain="0" path="Debug/Rendering" name="Outlines">true</Value>
</Preferences>)");
    ZelkPref::Host::LoadPreferenceFile(file.c_str());
    DebugToggle frameRate("Debug/Rendering", "ShowFrameRate");
    DebugToggle wireframe("Debug/Rendering", "Wireframe");
    DebugToggle outlines("Debug/Rendering", "Outlines");  // stored in another domain
    EXPECT_EQ(ToggleAccessor::GetToggleId(frameRate).GetDisplayString(),
              Zelk::String("[Debug]  path=\"Debug/Rendering\" key=\"ShowFrameRate\""));
    EXPECT_TRUE(IsToggleEnabled(frameRate));
    EXPECT_FALSE(IsToggleEnabled(wireframe));
    EXPECT_FALSE(IsToggleEnabled(outlines));
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate", "false");
    EXPECT_TRUE(IsToggleEnabled(frameRate));
}

TEST(DebugToggle, UnreadablePreferenceIsDisabledAndNotOverridden) {
    ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Stored", "true");
    DebugToggle missing("Debug", "Missing");
    EXPECT_FALSE(IsToggleEnabled(missing));
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(missing));

    ZelkPref::Host::ForceReadResult(0x81000502);  // a finished read that leaves the value false
    DebugToggle emptyRead("Debug", "Stored");
    EXPECT_FALSE(IsToggleEnabled(emptyRead));
    ZelkPref::Host::ForceReadResult(std::nullopt);

    ZelkPref::Host::SetDomainUnavailable(ZelkPref::UserDomain, true);
    DebugToggle noRoot("Debug", "Stored");
    EXPECT_FALSE(IsToggleEnabled(noRoot));
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(noRoot));
}
