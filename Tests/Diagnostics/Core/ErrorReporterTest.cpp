#include <optional>

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "Support/TestSupport.hpp"

using FeatureToggle::ErrorReporter::ReportError;
using FeatureToggle::ErrorReporter::ReportGuard;
using Strings = std::vector<std::string>;

// Each guard counts the reports since its making; reports are captured until the last guard
// ends, in whatever order the guards end.
TEST(ErrorReporter, GuardsCountWhatTheyCaptureUntilTheLastOneEnds) {
    FeatureToggleTests::ScopedBugReportCapture bugReports;
    ReportError("sent before any guard");

    std::optional<ReportGuard> outer(std::in_place);
    ReportError("one");
    std::optional<ReportGuard> inner(std::in_place);
    ReportError("two");
    EXPECT_EQ(inner->NumberOfCapturedReports(), 1u);
    EXPECT_EQ(outer->NumberOfCapturedReports(), 2u);

    outer.reset();
    ReportError("three");
    EXPECT_EQ(inner->NumberOfCapturedReports(), 2u);
    inner.reset();
    ReportError("sent after the last guard");
    EXPECT_EQ(bugReports.messages, (Strings{"sent before any guard", "sent after the last guard"}));
    EXPECT_EQ(bugReports.flags, (std::vector<Zelk::UInt32>(2, 0x80000000u)));
}
