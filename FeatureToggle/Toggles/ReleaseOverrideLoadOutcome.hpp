// What the load of the release toggle overrides found, for the host to show or log.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/OverrideFileFault.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/StartupOverrides.hpp"

namespace FeatureToggle {

// What the reader met (fileExists, fault, unreadElement...) and what the load made of it.
struct ReleaseOverrideLoadOutcome : OverrideFileReadSummary {
    // False until ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile ran.
    bool loadAttempted = false;
    // The folder the platform named for the override file; empty when it names none.
    std::string folder;
    // The file looked for in it.
    std::string file;
    // 0, or -7003 for a failed load.
    int result = 0;
    // The overrides now in force, those read before a fault included: entries of the file, whether
    // or not a live toggle has their name.
    std::size_t entriesApplied = 0;
    // The live release toggles whose name the file holds, each toggle of a shared name counted (the
    // command line or the environment, where given, still decide their status).
    std::size_t togglesSetByFile = 0;
    // The fault in plain English; empty when the load did not fail.
    std::string reason;
    // What the command line and the environment set (StartupOverrides.hpp), and their names that
    // match no live release toggle.
    StartupOverrideSource commandLine;
    StartupOverrideSource environment;
    std::vector<std::string> unmatchedStartupOverrides;
};

// The outcome of the last load; call it after LoadReleaseToggleCustomStatusFromConfigFile.
FEATURETOGGLE_EXPORT ReleaseOverrideLoadOutcome GetReleaseOverrideLoadOutcome();

}  // namespace FeatureToggle
