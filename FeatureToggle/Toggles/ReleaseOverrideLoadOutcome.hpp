// What the load of the release toggle overrides found, for the host to show or log.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/OverrideFileFault.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/StartupOverrides.hpp"

namespace FeatureToggle {

struct ReleaseOverrideLoadOutcome {
    // False until ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile ran.
    bool loadAttempted = false;
    // The folder the platform named for the override file; empty when it names none.
    std::string folder;
    // The file looked for in it.
    std::string file;
    bool fileExists = false;
    // 0, or -7003 for a failed load.
    int result = 0;
    // The overrides now in force, those read before a fault included.
    std::size_t entriesApplied = 0;
    // Why the load failed (fault.fault is None when it did not), and the same in plain English.
    OverrideFileReadFault fault;
    std::string reason;
    // The element of another name at which reading stopped, quietly, ignoring the rest.
    std::string unreadElement;
    int unreadElementLine = 0;
    // What the command line and the environment set (StartupOverrides.hpp), and their names that
    // match no live release toggle.
    StartupOverrideSource commandLine;
    StartupOverrideSource environment;
    std::vector<std::string> unmatchedStartupOverrides;
};

// The outcome of the last load; call it after LoadReleaseToggleCustomStatusFromConfigFile.
FEATURETOGGLE_EXPORT ReleaseOverrideLoadOutcome GetReleaseOverrideLoadOutcome();

}  // namespace FeatureToggle
