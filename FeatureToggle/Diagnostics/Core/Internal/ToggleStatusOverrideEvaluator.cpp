#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"

namespace FeatureToggle {

ToggleStatusOverrideEvaluator& ToggleStatusOverrideEvaluator::GetInstance() {
    // Made by the first toggle, before the registry, so that it outlives the registry.
    static ToggleStatusOverrideEvaluator instance;
    return instance;
}

ToggleStatusOverrideEvaluator::~ToggleStatusOverrideEvaluator() = default;

void ToggleStatusOverrideEvaluator::AddOverride(const ToggleId& id, ToggleStatus status) {
    if (Contains(id)) {
        ErrorReporter::ReportError("Nested override of the same toggle value is not allowed", id);
    }
    Add(id, status);
}

void ToggleStatusOverrideEvaluator::RemoveOverride(const ToggleId& id) {
    Remove(id);
}

}  // namespace FeatureToggle
