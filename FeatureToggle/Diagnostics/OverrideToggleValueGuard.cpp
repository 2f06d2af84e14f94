#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"

#include <functional>

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"

namespace FeatureToggle::Testing {

OverrideToggleValueGuard::OverrideToggleValueGuard(const Toggle& toggle, ToggleStatus status)
    : toggleId(ToggleAccessor::GetToggleId(toggle)) {
    // Release toggles have already taken the file's statuses; forcing them now would hide
    // what the file says. Reported, but the guard still does its work.
    if (GetReleaseToggleStatusEvaluator().IsContentLoadExecuted()) {
        ErrorReporter::ReportError(
            "Using OverrideToggleValueGuard is not allowed when a configuration file has been loaded!",
            toggleId);
    }

    // Recorded first, so that toggles constructed from now on take the status too.
    ToggleStatusOverrideEvaluator::GetInstance().AddOverride(toggleId, status);

    ToggleRegistry::GetInstance().EnumerateTogglesById(
        toggleId, std::function<void(Toggle&)>([status](Toggle& liveToggle) {
            ToggleAccessor::SetStatusOverride(liveToggle, status);
        }));
}

OverrideToggleValueGuard::~OverrideToggleValueGuard() {
    ToggleStatusOverrideEvaluator::GetInstance().RemoveOverride(toggleId);

    // Also clears the toggles constructed while the guard lived.
    ToggleRegistry::GetInstance().EnumerateTogglesById(
        toggleId, std::function<void(Toggle&)>(
                      [](Toggle& liveToggle) { ToggleAccessor::ClearStatusOverride(liveToggle); }));
}

}  // namespace FeatureToggle::Testing
