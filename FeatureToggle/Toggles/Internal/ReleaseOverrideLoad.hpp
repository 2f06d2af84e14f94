// Where the load of the release toggle overrides keeps its outcome.
#pragma once

#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"

namespace FeatureToggle {

ReleaseOverrideLoadOutcome& GetLastReleaseOverrideLoadOutcome();

}  // namespace FeatureToggle
