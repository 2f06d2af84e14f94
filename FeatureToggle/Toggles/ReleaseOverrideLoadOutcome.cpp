#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"

#include "FeatureToggle/Toggles/Internal/ReleaseOverrideLoad.hpp"

namespace FeatureToggle {

ReleaseOverrideLoadOutcome& GetLastReleaseOverrideLoadOutcome() {
    static ReleaseOverrideLoadOutcome outcome;
    return outcome;
}

ReleaseOverrideLoadOutcome GetReleaseOverrideLoadOutcome() {
    return GetLastReleaseOverrideLoadOutcome();
}

}  // namespace FeatureToggle
