// How a toggle's first query reaches the host's first-query observer.
#pragma once

#include "FeatureToggle/ToggleStatus.hpp"

namespace FeatureToggle {

class Toggle;

// Called once per toggle object, after its first query marked it, outside the latch, with what
// that query answers. Costs one load until a host first sets an observer.
void NotifyFirstQuery(const Toggle& toggle, ToggleStatus status);

}  // namespace FeatureToggle
