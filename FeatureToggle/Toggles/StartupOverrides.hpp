// Release toggle overrides for one run, from the command line or the environment, beside the
// override file:
//
//   int main(int argc, char** argv) {
//       FeatureToggle::ReadToggleOverridesFromCommandLine(argc, argv);  // --enable-toggles=A,B
//       FeatureToggle::ReadToggleOverridesFromEnvironment();             // FEATURETOGGLE_ENABLE=A,B
//       ...
//       FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
//   }
//
// The library reads only --enable-toggles=NAME[,NAME...] and --disable-toggles=NAME[,NAME...]
// (the host keeps and parses every argument itself), and only FEATURETOGGLE_ENABLE and
// FEATURETOGGLE_DISABLE, each a list of the same form; an empty variable counts as not set. Names
// are release toggle names, taken exactly as written, as in the override file; a name cannot
// contain ",". Like the file's, these overrides take effect at the load, and only for names read
// before it. A test guard wins over them, the command line over the environment, both over the
// file. A name that one source both enables and disables is disabled. An argument or variable
// with an empty name, a name with a character the override file cannot hold (only printable
// ASCII), or read after the load is reported as an error and changes nothing. What each source
// set shows in GetReleaseOverrideLoadOutcome(), and each toggle's source in ListLiveToggles().
// Call them from the thread that then loads the overrides. The arguments are taken as UTF-8: on
// Windows, pass those of IO::GetProgramArguments rather than main's, which use the ANSI code page.
#pragma once

#include <string>
#include <vector>

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle {

// What the command line or the environment set, as the load found it.
struct StartupOverrideSource {
    // The names it enables, and those it disables (the names given both ways included), in the
    // order first given.
    std::vector<std::string> enabled;
    std::vector<std::string> disabled;
    // The names it both enables and disables.
    std::vector<std::string> givenBothWays;
};

FEATURETOGGLE_EXPORT void ReadToggleOverridesFromCommandLine(int argc, const char* const* argv);
FEATURETOGGLE_EXPORT void ReadToggleOverridesFromEnvironment();

}  // namespace FeatureToggle
