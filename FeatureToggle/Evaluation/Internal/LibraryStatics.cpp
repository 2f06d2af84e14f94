// The library's static objects, all in this one file because C++ orders the construction of
// static objects only within a translation unit. They are made top to bottom when the library
// is loaded and destroyed bottom to top when it is unloaded. The function-local statics (the
// registry, the test override evaluator, the release evaluator, the reporter state, the log
// line templates) are made later, on first use, and destroyed before these.
#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"

namespace FeatureToggle {

// First: debug toggles in other modules may be evaluated until the very end, so this evaluator
// is made before, and outlives, everything else here.
const RegistryBasedToggleStatusEvaluator debugToggleEvaluator(
    RegistryBasedToggleStatusEvaluator::NoWriteBack);

namespace {
// Keeps XML reading possible for as long as the override file can be loaded.
const ZelkXML::XercescInitializer xmlInitializer;
}  // namespace

// The status names, then the parser that copies them.
const ZelkXML::NamedEnumItem<ToggleStatus> ToggleStatusNames[2] = {
    {ToggleStatus::Enabled, "Enabled"},
    {ToggleStatus::Disabled, "Disabled"},
};
const ZelkXML::NamedEnumType<ToggleStatus> ToggleStatusEnumType(ToggleStatusNames, "|");

}  // namespace FeatureToggle
