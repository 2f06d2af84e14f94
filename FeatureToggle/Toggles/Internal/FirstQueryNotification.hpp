// How a toggle's first query reaches the host's first-query observer, which lives above the
// toggles: the observer installs a hook here at its first setting.
#pragma once

#include "FeatureToggle/ToggleStatus.hpp"

namespace FeatureToggle {

class Toggle;

using FirstQueryHook = void (*)(const Toggle& toggle, ToggleStatus status);

// Installed once, never removed. Sequentially consistent, so that a first query that finds no
// hook began its mark before the hook was set.
void SetFirstQueryHook(FirstQueryHook hook);

// Called once per toggle object, after its first query marked it, outside the latch, with what
// that query answers. Costs one load until a hook is set.
void NotifyFirstQuery(const Toggle& toggle, ToggleStatus status);

}  // namespace FeatureToggle
