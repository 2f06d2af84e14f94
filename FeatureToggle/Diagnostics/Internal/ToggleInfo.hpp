#pragma once

#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggle {

// One row of the toggle report: what the live toggles of one identity say.
struct ToggleInfo {
    ToggleId toggleId;
    ToggleDefaultStatus defaultStatus;
    ToggleStatus currentStatus;
    bool wasQueried;
    bool isDefaultValueOverridden;

    // A record of `toggle`, read without marking it queried.
    static ToggleInfo FromToggle(const Toggle& toggle);
};

}  // namespace FeatureToggle
