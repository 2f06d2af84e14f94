#pragma once

#include "FeatureToggle/Toggles/ToggleStatus.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggle {

// The status names of the override file ("Enabled", "Disabled"), and the parser of its status
// texts. Both are static objects of the library (see LibraryStatics.cpp).
extern const ZelkXML::NamedEnumItem<ToggleStatus> ToggleStatusNames[2];
extern const ZelkXML::NamedEnumType<ToggleStatus> ToggleStatusEnumType;

}  // namespace FeatureToggle
