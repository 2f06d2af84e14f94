#include "FeatureToggle/Toggles/DebugToggle.hpp"

#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

DebugToggle::DebugToggle(const Zelk::String& path, const Zelk::String& name)
    : DebugToggle(path, name, nullptr) {}

DebugToggle::DebugToggle(const Zelk::String& path, const Zelk::String& name, const char* description)
    : AutomaticallyEvaluatedToggle(
          RegistryBasedToggleIdData(Zelk::String("Debug"), ZelkPref::UserDomain, path, name),
          ToggleDefaultStatus::Disabled, debugToggleEvaluator, EvaluationStrategy::EvaluateOnce,
          description) {
    // Exactly this class answers inline; see the contract of a toggle kind in Toggle.hpp.
    SetPlainStatusKind(typeid(DebugToggle));
}

DebugToggle::~DebugToggle() = default;

}  // namespace FeatureToggle
