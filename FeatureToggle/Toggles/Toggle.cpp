#include "FeatureToggle/Toggles/Toggle.hpp"

#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "ZelkRoot/Synchronisation.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus)
    : toggleId(idData),
      defaultStatus(defaultStatus),
      statusOverride(ToggleStatusOverrideEvaluator::GetInstance().EvaluateToggleStatus(toggleId)) {
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
    queried.GetOrCompute([this]() noexcept {
        // By now the most derived constructor has run, so the dynamic type is final. Which types
        // answer inline: the contract of a toggle kind, in Toggle.hpp.
        answersInline = plainStatusKind != nullptr && typeid(*this) == *plainStatusKind;
        return true;
    });
    if (answersInline && (Zelk::AtomicLoadAcquire(&inlineAnswer) & AnswerOutOfLine) != 0) {
        ReplaceAnswerBits(AnswerOutOfLine, 0);
    }
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

}  // namespace FeatureToggle
