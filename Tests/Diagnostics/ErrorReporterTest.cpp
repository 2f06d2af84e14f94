#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "Support/TestSupport.hpp"

using FeatureToggle::ErrorReporter::ReportError;
using FeatureToggle::ErrorReporter::ReportGuard;
using Strings = std::vector<std::string>;

TEST(ErrorReporter, NestedGuardsCountEveryReportSinceTheirMaking) {
    FeatureToggleTests::ScopedBugReportCapture bugReports;
    ReportError("sent before any guard");

    std::optional<ReportGuard> outer(std::in_place);
    ReportError("one");
    std::optional<ReportGuard> inner(std::in_place);
    ReportError("two");
    ReportError("three");
    EXPECT_EQ(inner->NumberOfCapturedReports(), 2u);
    EXPECT_EQ(outer->NumberOfCapturedReports(), 3u);

    inner.reset();
    ReportError("four");
    EXPECT_EQ(outer->NumberOfCapturedReports(), 4u);

    outer.reset();
    ReportError("sent after the last guard");
    EXPECT_EQ(bugReports.GetMessages(), (Strings{"sent before any guard", "sent after the last guard"}));
    for (const auto& report : bugReports.GetReports()) {
        EXPECT_EQ(report.flags, 0x80000000u);
    }
}

TEST(ErrorReporter, CapturingLastsUntilTheLastGuardEvenWhenEndedInMakingOrder) {
    FeatureToggleTests::ScopedBugReportCapture bugReports;
    std::optional<ReportGuard> first(std::in_place);
    std::optional<ReportGuard> second(std::in_place);

    first.reset();
    ReportError("captured");
    EXPECT_EQ(second->NumberOfCapturedReports(), 1u);
    second.reset();
    ReportError("sent");
    EXPECT_EQ(bugReports.GetMessages(), (Strings{"sent"}));
}
