// A plug-in module for the module tests, built twice: each copy declares a release toggle of the
// shared name and one of its own name. Its static toggles are made when the module is loaded
// and destroyed when it is unloaded, as in the host's real modules.
#include <cstring>

#include "FeatureToggle/Toggles/ReleaseToggle.hpp"

namespace {

using FeatureToggle::ReleaseToggle;
using FeatureToggle::ToggleDefaultStatus;

ReleaseToggle shared("Shared", ToggleDefaultStatus::Disabled);
ReleaseToggle own(TEST_MODULE_OWN_TOGGLE, ToggleDefaultStatus::Disabled);

}  // namespace

// The module's toggle of that name, or null.
FEATURETOGGLE_MODULE_ENTRY_POINT const FeatureToggle::Toggle* TestModuleToggle(const char* name) {
    return std::strcmp(name, "Shared") == 0                 ? &shared
           : std::strcmp(name, TEST_MODULE_OWN_TOGGLE) == 0 ? &own
                                                            : nullptr;
}

// The load a host makes, made from inside this module.
FEATURETOGGLE_MODULE_ENTRY_POINT void TestModuleLoadOverrides() {
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
}
