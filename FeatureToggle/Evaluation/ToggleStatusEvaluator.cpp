#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"

namespace FeatureToggle {

ToggleStatusEvaluator::~ToggleStatusEvaluator() = default;

}  // namespace FeatureToggle
