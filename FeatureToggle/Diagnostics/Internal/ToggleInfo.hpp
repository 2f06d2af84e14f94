#pragma once

#include <functional>

#include "FeatureToggle/Toggles/Toggle.hpp"
#include "ZelkRoot/Containers.hpp"

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

    // One record per identity that has live toggles: the first toggle the registry reports gives
    // the record, and the identity counts as queried when any of its toggles was. `onToggleSeen`,
    // if set, sees every toggle, in record order, told whether it is the first of a new record.
    static Zelk::Array<ToggleInfo> CollectLiveToggles(
        const std::function<void(const Toggle&, bool startsRecord)>& onToggleSeen = nullptr);
};

}  // namespace FeatureToggle
