// Lets test frameworks see every error the library reports, to fail the test that caused it.
#pragma once

#include <functional>
#include <string>

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle::ErrorReporter {

struct ObservedReport {
    // The report's text, exactly as the application's report facility gets it.
    const char* message;
    // The display string of the toggle it is about, when the reporter knows it; else empty.
    std::string toggle;
    // A live ReportGuard counted it instead of sending it: the test expects it.
    bool captured;
};

// Whether a report that no ReportGuard captured still goes to the application's report facility
// once the observer has seen it.
enum class UncapturedReports {
    AlsoSent,
    // The observer stands in for the facility, as a test framework that fails the test does, so
    // that each report shows once.
    ObserverOnly,
};

// Called on the reporting thread for every report, before it is sent or captured. An empty
// function removes the observer, and uncaptured reports are sent again. Set and remove it on the
// thread that makes the reports.
FEATURETOGGLE_EXPORT void SetErrorReportObserver(std::function<void(const ObservedReport&)> observer,
                                                 UncapturedReports uncaptured = UncapturedReports::AlsoSent);

}  // namespace FeatureToggle::ErrorReporter
