#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

Zelk::String GetReleaseToggleKind() {
    // Hashed here once: every release identity copies it, and the copies keep the hash.
    static const Zelk::String releaseToggleKind = [] {
        const Zelk::String kind("Release");
        static_cast<void>(kind.GenerateHashValue());
        return kind;
    }();
    return releaseToggleKind;
}

FileBasedToggleStatusEvaluator& GetReleaseToggleStatusEvaluator() {
    // Its construction makes the kind name first, so the name outlives the evaluator.
    static FileBasedToggleStatusEvaluator releaseEvaluator(GetReleaseToggleKind());
    return releaseEvaluator;
}

}  // namespace FeatureToggle
