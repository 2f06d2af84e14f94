// The library's static objects, made when it is loaded (see LibraryStatics.cpp for their order).
#pragma once

#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggle {

// The evaluator every DebugToggle reads its preference through.
extern const RegistryBasedToggleStatusEvaluator debugToggleEvaluator;

// The status names of the override file ("Enabled", "Disabled"), and the parser of its status
// texts.
extern const ZelkXML::NamedEnumItem<ToggleStatus> ToggleStatusNames[2];
extern const ZelkXML::NamedEnumType<ToggleStatus> ToggleStatusEnumType;

}  // namespace FeatureToggle
