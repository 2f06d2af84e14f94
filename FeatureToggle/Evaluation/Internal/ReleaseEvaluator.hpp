// The release evaluator: the one FileBasedToggleStatusEvaluator that every release toggle, the
// test override guard and the toggle report share.
#pragma once

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

// "Release": the kind name of every release toggle and of the release evaluator.
Zelk::String GetReleaseToggleKind();

// The evaluator all release toggles share, made empty on first use.
FileBasedToggleStatusEvaluator& GetReleaseToggleStatusEvaluator();

}  // namespace FeatureToggle
