#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"

#include <functional>
#include <memory>
#include <new>
#include <utility>

#include "FeatureToggle/Diagnostics/Core/ErrorReportObserver.hpp"
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

namespace {

struct Observer {
    std::function<void(const ObservedReport&)> function;
    UncapturedReports uncaptured = UncapturedReports::AlsoSent;
};

Observer& GetObserver() {
    static Observer observer;
    return observer;
}

void Report(const char* message, const ToggleId* toggle) {
    ReporterState& state = GetReporterState();
    ++state.reportCount;
    const bool captured = state.activeGuardCount != 0;
    const Observer& observer = GetObserver();
    if (observer.function) {
        observer.function(
            ObservedReport{message, toggle != nullptr ? toggle->GetDisplayString().ToCStr() : "", captured});
    }
    if (!captured && !(observer.function && observer.uncaptured == UncapturedReports::ObserverOnly)) {
        BugRep_ReportError(message, ReportFlags, 0);
    }
}

}  // namespace

void ReportError(const char* message) {
    Report(message, nullptr);
}

void ReportError(const char* message, const ToggleId& toggle) {
    Report(message, &toggle);
}

void SetErrorReportObserver(std::function<void(const ObservedReport&)> observer,
                            UncapturedReports uncaptured) {
    GetObserver() = Observer{std::move(observer), uncaptured};
}

}  // namespace FeatureToggle::ErrorReporter
