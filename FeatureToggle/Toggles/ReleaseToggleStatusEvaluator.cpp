#include "FeatureToggle/Toggles/ReleaseToggleStatusEvaluator.hpp"

namespace FeatureToggle {

Zelk::String GetReleaseToggleKind() {
    static const Zelk::String releaseToggleKind("Release");
    return releaseToggleKind;
}

FileBasedToggleStatusEvaluator& GetReleaseToggleStatusEvaluator() {
    // Its construction makes the kind name first, so the name outlives the evaluator.
    static FileBasedToggleStatusEvaluator releaseEvaluator(GetReleaseToggleKind());
    return releaseEvaluator;
}

}  // namespace FeatureToggle
