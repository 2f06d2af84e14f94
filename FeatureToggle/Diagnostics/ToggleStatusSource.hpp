// Where a live toggle's status comes from, as the listing shows it.
#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle {

enum class ToggleStatusSource {
    // Nothing overrides the compiled-in default.
    Default,
    // The release override file.
    File,
    // --enable-toggles or --disable-toggles (StartupOverrides.hpp).
    CommandLine,
    // FEATURETOGGLE_ENABLE or FEATURETOGGLE_DISABLE.
    Environment,
    // A test guard (Testing::OverrideToggleValueGuard).
    Test,
    // A debug toggle's stored preference.
    Preference,
};

// "default", "file", "commandLine", "environment", "test" or "preference".
FEATURETOGGLE_EXPORT const char* GetToggleStatusSourceName(ToggleStatusSource source);

}  // namespace FeatureToggle
