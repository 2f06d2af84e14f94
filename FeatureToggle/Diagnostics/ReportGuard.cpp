#include "FeatureToggle/Diagnostics/ReportGuard.hpp"

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"

namespace FeatureToggle::ErrorReporter {

// The snapshot is taken before this guard counts itself, so it counts only later reports.
ReportGuard::ReportGuard()
    : reportCountAtStart(GetReporterState().reportCount),
      exitAction([] { --GetReporterState().activeGuardCount; }),
      armed(true) {
    ++GetReporterState().activeGuardCount;
}

ReportGuard::~ReportGuard() {
    if (armed) {
        exitAction();
    }
}

std::uint64_t ReportGuard::NumberOfCapturedReports() const {
    return GetReporterState().reportCount - reportCountAtStart;
}

}  // namespace FeatureToggle::ErrorReporter
