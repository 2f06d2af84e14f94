// ToggleAccessor: the library's own way into a toggle's protected state, shared by the registry,
// the diagnostics and the test aids. Not part of FeatureToggle.hpp: client code asks
// IsToggleEnabled only.
#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"

namespace FeatureToggle {

class Toggle;

// Each operation forwards to the toggle's member of the same name.
class FEATURETOGGLE_EXPORT ToggleAccessor {
public:
    static void ClearStatusOverride(Toggle& toggle);
    static ToggleDefaultStatus GetDefaultStatus(const Toggle& toggle);
    static const ToggleId& GetToggleId(const Toggle& toggle);
    static bool IsDefaultValueOverridden(const Toggle& toggle);
    static ToggleStatus QueryCurrentStatus(const Toggle& toggle);
    static void SetStatusOverride(Toggle& toggle, ToggleStatus status);
    static bool WasQueried(const Toggle& toggle);
    static bool HasQueryStarted(const Toggle& toggle);
    static const char* GetDescription(const Toggle& toggle);
};

}  // namespace FeatureToggle
