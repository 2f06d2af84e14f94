#include "FeatureToggle/Toggles/Toggle.hpp"

#include "FeatureToggle/ToggleAccessor.hpp"

#include "FeatureToggle/Diagnostics/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"

namespace FeatureToggle {

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus)
    : toggleId(idData),
      defaultStatus(defaultStatus),
      statusOverride(ToggleStatusOverrideEvaluator::GetInstance().EvaluateToggleStatus(toggleId)) {
    UpdateResolvedStatus();
    // Last, so that an enumeration on another thread never meets a base that is half made.
    ToggleRegistry::GetInstance().Register(*this);
}

Toggle::~Toggle() {
    ToggleRegistry::GetInstance().Unregister(*this);
}

ToggleStatus Toggle::GetCurrentStatus(Zelk::Friend<ToggleInfo>) const {
    return GetCurrentStatus();
}

ToggleStatus Toggle::QueryCurrentStatus() const {
    // After the first query this is one acquire load: no lock, no allocation, no write.
    queried.GetOrCompute([this]() noexcept {
        // By now the most derived constructor has run, so the dynamic type is final.
        usesResolvedStatus = plainStatusKind != nullptr && typeid(*this) == *plainStatusKind;
        return true;
    });
    return GetCurrentStatus();
}

ToggleStatus Toggle::GetCurrentStatus() const {
    return statusOverride.HasValue() ? statusOverride.Get() : GetCurrentStatusImpl();
}

const ToggleId& Toggle::GetToggleId() const {
    return toggleId;
}

bool Toggle::IsDefaultValueOverridden() const {
    return statusOverride.HasValue() || IsDefaultValueOverriddenImpl();
}

void Toggle::SetStatusOverride(ToggleStatus status) {
    statusOverride = status;
    UpdateResolvedStatus();
}

void Toggle::ClearStatusOverride() {
    statusOverride.Clear();
    UpdateResolvedStatus();
}

void Toggle::PublishKindStatus(ToggleStatus status) const {
    kindStatus = status == ToggleStatus::Enabled ? 1 : 0;
    UpdateResolvedStatus();
}

void Toggle::UpdateResolvedStatus() const {
    const Zelk::Int32 resolved =
        statusOverride.HasValue() ? (statusOverride.Get() == ToggleStatus::Enabled ? 1 : 0) : kindStatus;
    Zelk::AtomicStoreRelease(&resolvedStatus, resolved);
}

bool Toggle::WasQueried() const {
    return queried.TryGet() != nullptr;
}

bool QueryToggleEnabled(const Toggle& toggle) {
    return ToggleAccessor::QueryCurrentStatus(toggle) == ToggleStatus::Enabled;
}

}  // namespace FeatureToggle
