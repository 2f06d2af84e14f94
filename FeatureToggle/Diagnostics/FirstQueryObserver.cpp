#include "FeatureToggle/Diagnostics/FirstQueryObserver.hpp"

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/Internal/FirstQueryNotification.hpp"
#include "FeatureToggle/Toggles/ToggleKind.hpp"

namespace FeatureToggle {

namespace {

struct FirstQueryWatch {
    // Held only to look up or change the members, never while an observer runs.
    std::mutex mutex;
    std::shared_ptr<const FirstQueryObserver> observer;
    Zelk::HashSet<ToggleId> reportedIds;
};

FirstQueryWatch& GetWatch() {
    static FirstQueryWatch watch;
    return watch;
}

// Set by the first SetFirstQueryObserver, which alone installs the hook and walks the live toggles.
std::atomic<bool> watching{false};

void ReportThrow(const ToggleId& id, const char* what) {
    const std::string message =
        std::string("The first-query observer threw for ") + id.GetDisplayString().ToCStr() + ": " + what;
    ErrorReporter::ReportError(message.c_str(), id);
}

void RememberFirstQuery(const Toggle& toggle, ToggleStatus status) {
    const ToggleId& id = ToggleAccessor::GetToggleId(toggle);
    std::shared_ptr<const FirstQueryObserver> observer;
    FirstQueryWatch& watch = GetWatch();
    {
        const std::lock_guard<std::mutex> lock(watch.mutex);
        if (!watch.reportedIds.Add(id)) {
            return;
        }
        observer = watch.observer;
    }
    if (!observer) {
        return;
    }
    // Nothing the host throws may leave a query.
    try {
        (*observer)(id.GetDisplayString().ToCStr(), GetToggleKind(toggle), status);
    } catch (const std::exception& exception) {
        ReportThrow(id, exception.what());
    } catch (...) {
        ReportThrow(id, "an exception of unknown type");
    }
}

}  // namespace

void SetFirstQueryObserver(FirstQueryObserver observer) {
    auto shared = observer ? std::make_shared<const FirstQueryObserver>(std::move(observer)) : nullptr;
    FirstQueryWatch& watch = GetWatch();
    if (shared && !watching.exchange(true)) {
        SetFirstQueryHook(&RememberFirstQuery);
        // A first query that found no hook had begun its mark (a locked compare-and-swap) before
        // it looked, so after this fence the walk sees the mark begun and remembers it.
        std::atomic_thread_fence(std::memory_order_seq_cst);
        const std::function<void(const Toggle&)> rememberQueried = [&watch](const Toggle& toggle) {
            if (ToggleAccessor::HasQueryStarted(toggle)) {
                const std::lock_guard<std::mutex> lock(watch.mutex);
                watch.reportedIds.Add(ToggleAccessor::GetToggleId(toggle));
            }
        };
        static_cast<const ToggleRegistry&>(ToggleRegistry::GetInstance()).EnumerateToggles(rememberQueried);
    }
    std::shared_ptr<const FirstQueryObserver> replaced;
    {
        const std::lock_guard<std::mutex> lock(watch.mutex);
        replaced = std::exchange(watch.observer, std::move(shared));
    }
    // `replaced` goes here, outside the lock, unless a call in flight still holds it.
}

}  // namespace FeatureToggle
