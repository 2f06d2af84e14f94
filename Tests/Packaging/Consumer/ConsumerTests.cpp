// Tests of a client module: forcing a toggle, and counting the library's error reports. A test
// program that forces toggles does not load the override file: after the load, forcing is a
// misuse that the library reports.
#include <gtest/gtest.h>

#include "FeatureToggle/Testing.hpp"

namespace {

FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Disabled);

}  // namespace

using FeatureToggle::IsToggleEnabled;
using FeatureToggle::ToggleStatus;
using FeatureToggle::ErrorReporter::ReportGuard;
using FeatureToggle::Testing::OverrideToggleValueGuard;

TEST(NewImporter, IsOnWhileForcedOn) {
    {
        OverrideToggleValueGuard forced(newImporter, ToggleStatus::Enabled);
        EXPECT_TRUE(IsToggleEnabled(newImporter));
    }
    EXPECT_FALSE(IsToggleEnabled(newImporter));  // its default again
}

TEST(NewImporter, ForcingItTwiceAtOnceIsReported) {
    ReportGuard reports;  // counts the library's error reports instead of sending them
    OverrideToggleValueGuard outer(newImporter, ToggleStatus::Enabled);
    OverrideToggleValueGuard inner(newImporter, ToggleStatus::Disabled);
    EXPECT_EQ(reports.NumberOfCapturedReports(), 1u);
}
