// Where the load of the release toggle overrides keeps its outcome, and what it reports.
#pragma once

#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"

namespace FeatureToggle {

ReleaseOverrideLoadOutcome& GetLastReleaseOverrideLoadOutcome();

// What the load reports when the override file cannot be read; featuretoggle-check quotes it.
inline constexpr const char* InvalidOverrideFileReport = "Invalid Release Toggle override file";

}  // namespace FeatureToggle
