// A listing of the live toggles for settings pages and support bundles. Unlike the toggle report
// it lists every identity, whatever the preference AllowDumpingUnpublishedData says.
#pragma once

#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/ToggleStatusSource.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/ToggleKind.hpp"

namespace FeatureToggle {

// The live toggles of one identity, read without marking any of them queried. Toggles sharing an
// identity give one record: the first one's default and status, queried if any of them was. Such
// toggles answer alike only when the file or a test sets them; else each answers its own default.
struct LiveToggleRecord {
    ToggleKind kind = ToggleKind::Other;
    // As the toggle report shows the identity.
    std::string displayName;
    // A release toggle's name, as the override file writes it; a debug toggle's preference path
    // and name joined by "/"; else the display name.
    std::string name;
    ToggleDefaultStatus defaultStatus = ToggleDefaultStatus::Disabled;
    // Some live toggle of the identity has another default than defaultStatus.
    bool defaultsDisagree = false;
    ToggleStatus currentStatus = ToggleStatus::Disabled;
    bool wasQueried = false;
    // The release override file names it.
    bool overriddenByFile = false;
    // A test forces it (Testing::OverrideToggleValueGuard).
    bool overriddenByTest = false;
    // What decides the current status: a test, the command line, the environment, the file, a
    // preference, or nothing (the default).
    ToggleStatusSource source = ToggleStatusSource::Default;
    // The text the first toggle was declared with; empty when it has none.
    std::string description;
};

// One record per identity, sorted by display name.
FEATURETOGGLE_EXPORT std::vector<LiveToggleRecord> ListLiveToggles();

}  // namespace FeatureToggle
