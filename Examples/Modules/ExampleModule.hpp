// What an example plug-in module shows its host: its name and the toggles it declares.
#pragma once

#include <cstddef>

#include "FeatureToggle/Toggles/Toggle.hpp"

struct ExampleModuleToggle {
    const char* name;  // the release toggle's name, or the debug toggle's preference
    const FeatureToggle::Toggle* toggle;
};

struct ExampleModule {
    const char* name;
    const ExampleModuleToggle* toggles;
    std::size_t toggleCount;
};

// Every example module exports this entry point under this name.
#define EXAMPLE_MODULE_ENTRY_POINT "FeatureToggleExampleModule"
extern "C" const ExampleModule* FeatureToggleExampleModule();
