// Which of the library's kinds a toggle is, for listings and first-use observers.
#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle {

class Toggle;

enum class ToggleKind {
    Release,
    Debug,
    Other,
};

// The library's kind of `toggle`: a subclass of ReleaseToggle is a release toggle, and so on.
FEATURETOGGLE_EXPORT ToggleKind GetToggleKind(const Toggle& toggle);
// "release", "debug" or "other".
FEATURETOGGLE_EXPORT const char* GetToggleKindName(ToggleKind kind);

}  // namespace FeatureToggle
