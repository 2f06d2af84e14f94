#pragma once

#include <cstdint>

namespace FeatureToggle::ErrorReporter {

// The reporter's process-wide state.
struct ReporterState {
    std::uint64_t activeGuardCount = 0;
    std::uint64_t reportCount = 0;
};

// Made on first use, freed when the library is unloaded.
ReporterState& GetReporterState();

// Reports an error the library detected: to the application's report facility, or, while a
// ReportGuard lives, only counted. The caller carries on either way.
void ReportError(const char* message);

}  // namespace FeatureToggle::ErrorReporter
