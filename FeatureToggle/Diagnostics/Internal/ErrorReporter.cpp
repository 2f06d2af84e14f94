#include "FeatureToggle/Diagnostics/Internal/ErrorReporter.hpp"

#include <memory>
#include <new>

#include "ZelkRoot.hpp"

namespace FeatureToggle::ErrorReporter {

namespace {

// Flags of every report the library sends.
constexpr Zelk::UInt32 ReportFlags = 0x80000000;

// Gives the state back to the memory manager it came from.
struct ReporterStateDeleter {
    void operator()(ReporterState* state) const noexcept {
        state->~ReporterState();
        Zelk::MemoryManager::Free(state);
    }
};

ReporterState* CreateReporterState() {
    void* memory = Zelk::MemoryManager::Allocate(sizeof(ReporterState));
    return new (memory) ReporterState();
}

}  // namespace

ReporterState& GetReporterState() {
    // Destroyed with the library's other statics, in reverse order of creation.
    static const std::unique_ptr<ReporterState, ReporterStateDeleter> state(CreateReporterState());
    return *state;
}

void ReportError(const char* message) {
    ReporterState& state = GetReporterState();
    ++state.reportCount;
    if (state.activeGuardCount == 0) {
        BugRep_ReportError(message, ReportFlags, 0);
    }
}

}  // namespace FeatureToggle::ErrorReporter
