#pragma once

#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"

namespace FeatureToggle {

// The test overrides in force: one entry per identity that a live OverrideToggleValueGuard
// forces. Every toggle asks it at construction.
class ToggleStatusOverrideEvaluator : public MappingBasedToggleStatusEvaluator {
public:
    static ToggleStatusOverrideEvaluator& GetInstance();

    ~ToggleStatusOverrideEvaluator() override;

    // Reports a nested override of the same identity; the first status stays either way.
    void AddOverride(const ToggleId& id, ToggleStatus status);
    void RemoveOverride(const ToggleId& id);

private:
    ToggleStatusOverrideEvaluator() = default;
};

}  // namespace FeatureToggle
