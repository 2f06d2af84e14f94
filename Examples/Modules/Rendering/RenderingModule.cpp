// A plug-in module of the example application: the renderer. Its toggles are static objects,
// made when the host loads the module and destroyed when it unloads it.
#include <iterator>

#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Modules/ExampleModule.hpp"

namespace {

using FeatureToggle::ToggleDefaultStatus;

FeatureToggle::ReleaseToggle highDpiCanvas("HighDpiCanvas", ToggleDefaultStatus::Enabled,
                                           "Canvas drawn at the display's full resolution");
FeatureToggle::ReleaseToggle gpuRenderer("GpuRenderer", ToggleDefaultStatus::Disabled,
                                         "Renderer on the graphics card");
FeatureToggle::DebugToggle showFrameRate("Debug/Rendering", "ShowFrameRate",
                                         "Frame rate shown in the corner");

const ExampleModuleToggle toggles[] = {
    {"HighDpiCanvas", &highDpiCanvas},
    {"GpuRenderer", &gpuRenderer},
    {"Debug/Rendering: ShowFrameRate", &showFrameRate},
};

const ExampleModule module{"Rendering", toggles, std::size(toggles)};

}  // namespace

FEATURETOGGLE_MODULE_ENTRY_POINT const ExampleModule* FeatureToggleExampleModule() {
    return &module;
}
