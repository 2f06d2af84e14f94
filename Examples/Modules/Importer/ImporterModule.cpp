// A plug-in module of the example application: the file importer.
#include <iterator>

#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Modules/ExampleModule.hpp"

namespace {

using FeatureToggle::ToggleDefaultStatus;

FeatureToggle::ReleaseToggle newImporter("NewImporter", ToggleDefaultStatus::Disabled);
FeatureToggle::ReleaseToggle parallelImport("ParallelImport", ToggleDefaultStatus::Disabled);
FeatureToggle::DebugToggle verboseImportLog("Debug/Importer", "VerboseImportLog");

const ExampleModuleToggle toggles[] = {
    {"NewImporter", "The rewritten importer", &newImporter},
    {"ParallelImport", "Files imported on several threads", &parallelImport},
    {"Debug/Importer: VerboseImportLog", "Every imported element logged", &verboseImportLog},
};

const ExampleModule module{"Importer", toggles, std::size(toggles)};

}  // namespace

FEATURETOGGLE_MODULE_ENTRY_POINT const ExampleModule* FeatureToggleExampleModule() {
    return &module;
}
