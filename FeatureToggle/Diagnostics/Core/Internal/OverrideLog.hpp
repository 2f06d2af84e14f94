#pragma once

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"

namespace FeatureToggle {

// Writes to the application log how many statuses the evaluator's table sets and, for each,
// the identity, the status and how it compares with the defaults of the live toggles.
void WriteOverriddenToggleValuesToFastLog(const FileBasedToggleStatusEvaluator& evaluator);

}  // namespace FeatureToggle
