#pragma once

#include <atomic>
#include <cstdint>

#include "FeatureToggle/Identity/ToggleId.hpp"

namespace FeatureToggle::ErrorReporter {

// The reporter's process-wide state. The counters are atomic so that reports made on several
// threads are all counted, though nothing else about reporting is synchronised.
struct ReporterState {
    // ReportGuard objects alive now; reports are captured while it is not 0.
    std::atomic<std::uint64_t> activeGuardCount = 0;
    // Reports made since the state was created, sent and captured alike; never reset.
    std::atomic<std::uint64_t> reportCount = 0;
};

// Made on first use, freed when the library is unloaded.
ReporterState& GetReporterState();

// Reports an error the library detected: to the application's report facility, or, while a
// ReportGuard lives, only counted. The caller carries on either way.
void ReportError(const char* message);
// The same for a report about one toggle, which the observer is told about.
void ReportError(const char* message, const ToggleId& toggle);

}  // namespace FeatureToggle::ErrorReporter
