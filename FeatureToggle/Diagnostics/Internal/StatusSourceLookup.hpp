// How the listing finds where the status of an identity's toggles comes from.
#pragma once

#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"

namespace FeatureToggle {

// In the order that decides: a test guard, the command line, the environment, the file (a release
// toggle's), the preference (a debug toggle's), else the default.
ToggleStatusSource FindToggleStatusSource(const ToggleId& id, ToggleKind kind, bool overriddenByFile,
                                          bool overriddenByTest);

}  // namespace FeatureToggle
