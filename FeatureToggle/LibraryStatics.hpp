#pragma once

#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"

namespace FeatureToggle {

// The evaluator every DebugToggle reads its preference through.
extern const RegistryBasedToggleStatusEvaluator debugToggleEvaluator;

}  // namespace FeatureToggle
