#include "FeatureToggle/ToggleAccessor.hpp"

#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggle {

void ToggleAccessor::ClearStatusOverride(Toggle& toggle) {
    toggle.ClearStatusOverride();
}

ToggleDefaultStatus ToggleAccessor::GetDefaultStatus(const Toggle& toggle) {
    return toggle.GetDefaultStatus();
}

const ToggleId& ToggleAccessor::GetToggleId(const Toggle& toggle) {
    return toggle.GetToggleId();
}

bool ToggleAccessor::IsDefaultValueOverridden(const Toggle& toggle) {
    return toggle.IsDefaultValueOverridden();
}

ToggleStatus ToggleAccessor::QueryCurrentStatus(const Toggle& toggle) {
    return toggle.QueryCurrentStatus();
}

void ToggleAccessor::SetStatusOverride(Toggle& toggle, ToggleStatus status) {
    toggle.SetStatusOverride(status);
}

bool ToggleAccessor::HasQueryStarted(const Toggle& toggle) {
    return toggle.HasQueryStarted();
}

bool ToggleAccessor::WasQueried(const Toggle& toggle) {
    return toggle.WasQueried();
}

// The query's out-of-line half (see IsToggleEnabled) goes in the way the library's own code does,
// here beside the forward it calls, so that the call is one hop into the toggle.
bool QueryToggleEnabled(const Toggle& toggle) {
    return ToggleAccessor::QueryCurrentStatus(toggle) == ToggleStatus::Enabled;
}

const char* ToggleAccessor::GetDescription(const Toggle& toggle) {
    return toggle.GetDescription();
}

const char* GetToggleDescription(const Toggle& toggle) {
    return ToggleAccessor::GetDescription(toggle);
}

}  // namespace FeatureToggle
