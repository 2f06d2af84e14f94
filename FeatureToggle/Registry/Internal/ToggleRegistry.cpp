#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"

#include "FeatureToggle/Registry/Internal/ToggleRegistryImpl.hpp"

namespace FeatureToggle {

ToggleRegistry& ToggleRegistry::GetInstance() {
    // Made by the first toggle; every toggle must be gone before the library unloads.
    static ToggleRegistryImpl instance;
    return instance;
}

}  // namespace FeatureToggle
