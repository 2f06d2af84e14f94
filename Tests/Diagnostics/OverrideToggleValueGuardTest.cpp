#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using FeatureToggle::Testing::OverrideToggleValueGuard;
using Strings = std::vector<std::string>;

namespace {

bool HasRecordedOverride(const Toggle& toggle) {
    return ToggleStatusOverrideEvaluator::GetInstance().Contains(ToggleAccessor::GetToggleId(toggle));
}

}  // namespace

TEST(OverrideToggleValueGuard, ForcesAndClearsEveryToggleOfItsIdentityOnly) {
    ScopedBugReportCapture bugReports;
    ReleaseToggle first("Importer", ToggleDefaultStatus::Disabled);
    ReleaseToggle second("Importer", ToggleDefaultStatus::Disabled);
    ReleaseToggle exporter("Exporter", ToggleDefaultStatus::Enabled);
    std::optional<ReleaseToggle> later;
    {
        OverrideToggleValueGuard importerGuard(first, ToggleStatus::Enabled);
        later.emplace("Importer", ToggleDefaultStatus::Disabled);
        EXPECT_TRUE(IsToggleEnabled(first));
        EXPECT_TRUE(IsToggleEnabled(second));
        EXPECT_TRUE(IsToggleEnabled(*later));
        {
            OverrideToggleValueGuard exporterGuard(exporter, ToggleStatus::Disabled);
            EXPECT_FALSE(IsToggleEnabled(exporter));
        }
        // The other identity's end leaves this one in force.
        EXPECT_TRUE(IsToggleEnabled(exporter));
        EXPECT_TRUE(IsToggleEnabled(second));
        EXPECT_TRUE(HasRecordedOverride(first));
    }
    for (const Toggle* toggle : std::initializer_list<const Toggle*>{&first, &second, &*later}) {
        EXPECT_FALSE(IsToggleEnabled(*toggle));
        EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(*toggle));
    }
    EXPECT_FALSE(HasRecordedOverride(first));
    EXPECT_TRUE(bugReports.GetReports().empty());
}

TEST(OverrideToggleValueGuard, NestedGuardIsReportedKeepsTheFirstStatusAndEndsTheOverride) {
    ScopedBugReportCapture bugReports;
    ReleaseToggle toggle("Importer", ToggleDefaultStatus::Disabled);
    OverrideToggleValueGuard outer(toggle, ToggleStatus::Enabled);
    {
        OverrideToggleValueGuard inner(toggle, ToggleStatus::Disabled);
        EXPECT_FALSE(IsToggleEnabled(toggle));
        // A toggle made now takes what the map kept: the first guard's status.
        ReleaseToggle later("Importer", ToggleDefaultStatus::Disabled);
        EXPECT_TRUE(IsToggleEnabled(later));
    }
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(toggle));
    EXPECT_FALSE(HasRecordedOverride(toggle));
    EXPECT_EQ(bugReports.GetMessages(), (Strings{"Nested override of the same toggle value is not allowed"}));
}

TEST(OverrideToggleValueGuard, GuardAfterALoadAttemptIsReportedButStillForces) {
    ScopedBugReportCapture bugReports;
    TemporaryDirectory emptyFolder;
    ScopedOverrideFolder overrideFolder(emptyFolder.GetPath());
    ReleaseToggle toggle("Importer", ToggleDefaultStatus::Disabled);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();  // no file there, and no error
    ASSERT_TRUE(bugReports.GetReports().empty());
    EXPECT_FALSE(IsToggleEnabled(toggle));

    OverrideToggleValueGuard guard(toggle, ToggleStatus::Enabled);
    EXPECT_TRUE(IsToggleEnabled(toggle));
    EXPECT_EQ(
        bugReports.GetMessages(),
        (Strings{
            "Using OverrideToggleValueGuard is not allowed when a configuration file has been loaded!"}));
}
