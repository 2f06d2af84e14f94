// The command line's and the environment's overrides, as the on-demand evaluation applies them.
#pragma once

#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"

namespace FeatureToggle {

enum class StartupOverrideOrigin {
    None,
    CommandLine,
    Environment,
};

// From the load on: the status the command line, else the environment, gives a release toggle
// of identity `id`, else `fileAnswer`. Before the load, and with nothing given, `fileAnswer`.
Zelk::Optional<ToggleStatus> ApplyStartupOverrides(const ToggleId& id,
                                                   const Zelk::Optional<ToggleStatus>& fileAnswer);

// Which source's override ApplyStartupOverrides gives `id`.
StartupOverrideOrigin FindStartupOverrideOrigin(const ToggleId& id);

// Called by the load before it evaluates the toggles: the overrides apply from now on, and the
// outcome tells what each source set and which names match no live release toggle.
void ActivateStartupOverrides(ReleaseOverrideLoadOutcome& outcome);

}  // namespace FeatureToggle
