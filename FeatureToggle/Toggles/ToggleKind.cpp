#include "FeatureToggle/Toggles/ToggleKind.hpp"

#include <cstddef>
#include <iterator>

#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"

namespace FeatureToggle {

ToggleKind GetToggleKind(const Toggle& toggle) {
    if (dynamic_cast<const ReleaseToggle*>(&toggle) != nullptr) {
        return ToggleKind::Release;
    }
    if (dynamic_cast<const DebugToggle*>(&toggle) != nullptr) {
        return ToggleKind::Debug;
    }
    return ToggleKind::Other;
}

const char* GetToggleKindName(ToggleKind kind) {
    // In the order of the enumeration.
    static constexpr const char* names[] = {"release", "debug", "other"};
    const auto index = static_cast<std::size_t>(kind);
    return index < std::size(names) ? names[index] : names[2];
}

}  // namespace FeatureToggle
