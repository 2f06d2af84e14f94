#include <gtest/gtest.h>

#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
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

    FixedToggle two(TestId("Two"), static_cast<ToggleStatus>(2));
    EXPECT_FALSE(IsToggleEnabled(two));  // only the value 1 is enabled
}
