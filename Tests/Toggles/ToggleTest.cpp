#include <gtest/gtest.h>

#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

TEST(Toggle, StatusOverrideHidesKindAndQueriedMarkStays) {
    FixedToggle toggle(TestId("A"), ToggleStatus::Enabled);
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(toggle));
    ToggleInfo::FromToggle(toggle);  // the report's read leaves the mark alone
    EXPECT_FALSE(ToggleAccessor::WasQueried(toggle));

    ToggleAccessor::SetStatusOverride(toggle, ToggleStatus::Disabled);
    toggle.implCalls = 0;
    EXPECT_FALSE(IsToggleEnabled(toggle));
    // Disabled is what the default stands for, yet an override always counts.
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(toggle));
    EXPECT_EQ(toggle.implCalls, 0);

    ToggleAccessor::ClearStatusOverride(toggle);
    EXPECT_TRUE(IsToggleEnabled(toggle));
    EXPECT_TRUE(ToggleAccessor::WasQueried(toggle));
}

namespace {

class CountingReleaseToggle : public ReleaseToggle {
public:
    using ReleaseToggle::ReleaseToggle;
    mutable int asked = 0;

protected:
    ToggleStatus GetCurrentStatusImpl() const override { return ++asked, ToggleStatus::Enabled; }
};

}  // namespace

// Once queried, the library's own kinds answer from a status they keep current; overrides must
// still show at the next query, and a client's subclass must still be asked.
TEST(Toggle, QueriedLibraryKindsFollowOverridesAndSubclassesAreAsked) {
    ReleaseToggle release("Fast", ToggleDefaultStatus::Enabled);
    EXPECT_TRUE(IsToggleEnabled(release));
    ToggleAccessor::SetStatusOverride(release, static_cast<ToggleStatus>(2));
    EXPECT_FALSE(IsToggleEnabled(release));  // only the value 1 is enabled, inline too
    ToggleAccessor::ClearStatusOverride(release);
    EXPECT_TRUE(IsToggleEnabled(release));

    const CountingReleaseToggle own("Fast", ToggleDefaultStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(own));
    EXPECT_TRUE(IsToggleEnabled(own));
    EXPECT_EQ(own.asked, 2);

    // Queried first under an override, the once-evaluated toggle asks its evaluator only after it.
    SettableEvaluator evaluator;
    evaluator.Set("Once", ToggleStatus::Enabled);
    AutomaticallyEvaluatedToggle once(TestId("Once"), ToggleDefaultStatus::Disabled, evaluator,
                                      EvaluationStrategy::EvaluateOnce);
    ToggleAccessor::SetStatusOverride(once, ToggleStatus::Disabled);
    EXPECT_FALSE(IsToggleEnabled(once));
    EXPECT_EQ(evaluator.calls, 0);
    ToggleAccessor::ClearStatusOverride(once);
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_TRUE(IsToggleEnabled(once));
    EXPECT_EQ(evaluator.calls, 1);
}
