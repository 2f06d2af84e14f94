#include "FeatureToggle/Toggles/ToggleKind.hpp"

#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"

namespace FeatureToggle {

ToggleKind GetToggleKind(const Toggle& toggle) {
    if (dynamic_cast<const ReleaseToggle*>(&toggle) != nullptr) {
        return ToggleKind::Release;
    }
    if (dynamic_cast<const DebugToggle*>(&toggle) != nullptr) {
        return ToggleKind::Debug;
    }
    return ToggleKind::Other;
}

const char* GetToggleKindName(ToggleKind kind) {
    switch (kind) {
        case ToggleKind::Release:
            return "release";
        case ToggleKind::Debug:
            return "debug";
        case ToggleKind::Other:
            break;
    }
    return "other";
}

}  // namespace FeatureToggle
