#pragma once

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"

namespace FeatureToggle {

// "Release": the kind name of every release toggle and of the release evaluator.
Zelk::String GetReleaseToggleKind();

// The evaluator all release toggles share, made empty on first use.
FileBasedToggleStatusEvaluator& GetReleaseToggleStatusEvaluator();

}  // namespace FeatureToggle
