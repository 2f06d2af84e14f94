#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggle::Testing {

// Forces every toggle of `toggle`'s identity to `status` while it lives, those constructed
// meanwhile included, and undoes it at its end:
//
//   using FeatureToggle::Testing::OverrideToggleValueGuard;
//   OverrideToggleValueGuard forced(newImporter, FeatureToggle::ToggleStatus::Enabled);
//
// Reported as misuse, without stopping the guard: a guard made after the release override file
// was loaded (or its load attempted), and two guards for one identity at once.
class FEATURETOGGLE_EXPORT OverrideToggleValueGuard {
public:
    OverrideToggleValueGuard(const Toggle& toggle, ToggleStatus status);
    ~OverrideToggleValueGuard();
    OverrideToggleValueGuard(const OverrideToggleValueGuard&) = delete;
    OverrideToggleValueGuard& operator=(const OverrideToggleValueGuard&) = delete;

private:
    ToggleId toggleId;
};

}  // namespace FeatureToggle::Testing
