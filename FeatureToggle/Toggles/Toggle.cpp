#include "FeatureToggle/Toggles/Toggle.hpp"

#include "FeatureToggle/ToggleAccessor.hpp"

#include "FeatureToggle/Diagnostics/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/FirstQueryNotification.hpp"

namespace FeatureToggle {

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus)
    : Toggle(idData, defaultStatus, nullptr) {}

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus, const char* description)
    : toggleId(idData),
      defaultStatus(defaultStatus),
      statusOverride(ToggleStatusOverrideEvaluator::GetInstance().EvaluateToggleStatus(toggleId)),
      description(description != nullptr ? description : "") {
    // Nobody else can see the toggle before it is registered.
    if (statusOverride.HasValue()) {
        inlineAnswer = AnswerOutOfLine | (statusOverride.Get() == ToggleStatus::Enabled ? AnswerEnabled : 0);
    }
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
    // After the first query this is two acquire loads: no lock, no allocation, no write.
    bool firstQuery = false;
    queried.GetOrCompute([this, &firstQuery]() noexcept {
        // By now the most derived constructor has run, so the dynamic type is final.
        answersInline = plainStatusKind != nullptr && typeid(*this) == *plainStatusKind;
        firstQuery = true;
        return true;
    });
    if (answersInline && (Zelk::AtomicLoadAcquire(&inlineAnswer) & AnswerOutOfLine) != 0) {
        ReplaceAnswerBits(AnswerOutOfLine, 0);
    }
    const ToggleStatus status = GetCurrentStatus();
    // Outside the latch: the observer may query toggles, this one included.
    if (firstQuery) {
        NotifyFirstQuery(*this, status);
    }
    return status;
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
    UpdateInlineAnswer();
}

void Toggle::ClearStatusOverride() {
    statusOverride.Clear();
    UpdateInlineAnswer();
}

void Toggle::PublishKindStatus(ToggleStatus status) const {
    kindStatus = status == ToggleStatus::Enabled ? AnswerEnabled : 0;
    UpdateInlineAnswer();
}

void Toggle::UpdateInlineAnswer() const {
    const Zelk::Int32 status = statusOverride.HasValue()
                                   ? (statusOverride.Get() == ToggleStatus::Enabled ? AnswerEnabled : 0)
                                   : kindStatus;
    ReplaceAnswerBits(AnswerEnabled | AnswerUnresolved, status);
}

void Toggle::ReplaceAnswerBits(Zelk::Int32 mask, Zelk::Int32 bits) const {
    for (;;) {
        const Zelk::Int32 old = Zelk::AtomicLoadAcquire(&inlineAnswer);
        if (Zelk::AtomicCompareAndSwap(&inlineAnswer, (old & ~mask) | bits, old)) {
            return;
        }
    }
}

bool Toggle::WasQueried() const {
    return queried.TryGet() != nullptr;
}

const char* GetToggleDescription(const Toggle& toggle) {
    return toggle.description;
}

bool QueryToggleEnabled(const Toggle& toggle) {
    return ToggleAccessor::QueryCurrentStatus(toggle) == ToggleStatus::Enabled;
}

}  // namespace FeatureToggle
