#include <initializer_list>
#include <optional>

#include "FeatureToggle/Diagnostics/Core/ErrorReportObserver.hpp"
#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Testing.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
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
        EXPECT_TRUE(ToggleAccessor::WasQueried(*later));  // also when the answer was forced from the start
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
    EXPECT_TRUE(bugReports.messages.empty());
}

// The observer sees every report, sent or captured, with its toggle.
TEST(OverrideToggleValueGuard, NestedGuardIsReportedKeepsTheFirstStatusAndEndsTheOverride) {
    ScopedBugReportCapture bugReports;
    Strings observed;
    ErrorReporter::SetErrorReportObserver([&observed](const ErrorReporter::ObservedReport& report) {
        observed.push_back(std::string(report.captured ? "captured " : "sent ") + report.message + " | " +
                           report.toggle);
    });
    ReleaseToggle toggle("Importer", ToggleDefaultStatus::Disabled);
    {
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
    }
    {
        const ErrorReporter::ReportGuard captured;
        OverrideToggleValueGuard outer(toggle, ToggleStatus::Enabled), inner(toggle, ToggleStatus::Enabled);
    }
    ErrorReporter::SetErrorReportObserver({});
    { OverrideToggleValueGuard outer(toggle, ToggleStatus::Enabled), inner(toggle, ToggleStatus::Enabled); }

    const std::string nested = "Nested override of the same toggle value is not allowed";
    EXPECT_EQ(observed, (Strings{"sent " + nested + " | [Release]  name=\"Importer\"",
                                 "captured " + nested + " | [Release]  name=\"Importer\""}));
    EXPECT_EQ(bugReports.messages, (Strings{nested, nested}));
}
