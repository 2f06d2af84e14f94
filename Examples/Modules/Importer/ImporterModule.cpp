// A plug-in module of the example application: the file importer.
#include <iterator>

#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Modules/ExampleModule.hpp"

namespace {

using FeatureToggle::ToggleDefaultStatus;

FeatureToggle::ReleaseToggle newImporter("NewImporter", ToggleDefaultStatus::Disabled,
                                         "The rewritten importer");
FeatureToggle::ReleaseToggle parallelImport("ParallelImport", ToggleDefaultStatus::Disabled,
                                            "Files imported on several threads");
FeatureToggle::DebugToggle verboseImportLog("Debug/Importer", "VerboseImportLog",
                                            "Every imported element logged");

const ExampleModuleToggle toggles[] = {
    {"NewImporter", &newImporter},
    {"ParallelImport", &parallelImport},
    {"Debug/Importer: VerboseImportLog", &verboseImportLog},
};

const ExampleModule module{"Importer", toggles, std::size(toggles)};

}  // namespace

FEATURETOGGLE_MODULE_ENTRY_POINT const ExampleModule* FeatureToggleExampleModule() {
    return &module;
}
