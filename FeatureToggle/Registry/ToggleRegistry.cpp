#include "FeatureToggle/Registry/ToggleRegistry.hpp"

#include "FeatureToggle/Registry/ToggleRegistryImpl.hpp"

namespace FeatureToggle {

ToggleRegistry& ToggleRegistry::GetInstance() {
    // Made by the first toggle; every toggle must be gone before the library unloads.
    static ToggleRegistryImpl instance;
    return instance;
}

}  // namespace FeatureToggle
