#pragma once

#include <cstdint>
#include <functional>

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle::ErrorReporter {

// Captures the library's error reports while it lives: they are counted instead of reaching the
// application's report facility. Guards nest by counting and may end in any order; capturing
// stops when the last one ends.
//
//   FeatureToggle::ErrorReporter::ReportGuard reports;
//   ... code that misuses a toggle ...
//   EXPECT_EQ(reports.NumberOfCapturedReports(), 1u);
class FEATURETOGGLE_EXPORT ReportGuard {
public:
    ReportGuard();
    ~ReportGuard();
    ReportGuard(const ReportGuard&) = delete;
    ReportGuard& operator=(const ReportGuard&) = delete;

    // Reports made since this guard was made, on any thread.
    std::uint64_t NumberOfCapturedReports() const;

private:
    std::uint64_t reportCountAtStart;
    std::function<void()> exitAction;
    bool armed;
};

}  // namespace FeatureToggle::ErrorReporter
