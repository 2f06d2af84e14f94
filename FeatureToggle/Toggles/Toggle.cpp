#include "FeatureToggle/Toggles/Toggle.hpp"

#include <atomic>

#include "FeatureToggle/Diagnostics/Core/Internal/ToggleStatusOverrideEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/FirstQueryNotification.hpp"
#include "ZelkRoot/Synchronisation.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

namespace {

// A store that is also a full barrier: the loads that follow it cannot pass it, so of two
// threads that each store, then read what the other stored, at least one sees the other's.
void StoreFenced(volatile Zelk::Int32* word, Zelk::Int32 value) {
    while (!Zelk::AtomicCompareAndSwap(word, value, Zelk::AtomicLoadAcquire(word))) {
    }
}

Zelk::Int32 InlineStatus(ToggleStatus status) {
    return status == ToggleStatus::Enabled ? 1 : 0;
}

// The first-query observer's, once a host has set one.
std::atomic<FirstQueryHook> firstQueryHook{nullptr};

}  // namespace

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus)
    : Toggle(idData, defaultStatus, nullptr) {}

Toggle::Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus, const char* description)
    : toggleId(idData),
      defaultStatus(defaultStatus),
      statusOverride(ToggleStatusOverrideEvaluator::GetInstance().EvaluateToggleStatus(toggleId)),
      description(description != nullptr ? description : "") {
    // Nobody else can see the toggle before it is registered.
    if (statusOverride.HasValue()) {
        inlineAnswer = AnswerOutOfLine | InlineStatus(statusOverride.Get());
        publishedOverrideValue = static_cast<Zelk::Int32>(statusOverride.Get());
        publishedOverrideSet = 1;
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
        // By now the most derived constructor has run, so the dynamic type is final. Which types
        // answer inline: the contract of a toggle kind, in Toggle.hpp.
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
    if (Zelk::AtomicLoadAcquire(&publishedOverrideSet) != 0) {
        return static_cast<ToggleStatus>(Zelk::AtomicLoadAcquire(&publishedOverrideValue));
    }
    return GetCurrentStatusImpl();
}

const ToggleId& Toggle::GetToggleId() const {
    return toggleId;
}

bool Toggle::IsDefaultValueOverridden() const {
    return statusOverride.HasValue() || IsDefaultValueOverriddenImpl();
}

void Toggle::SetStatusOverride(ToggleStatus status) {
    statusOverride = status;
    PublishStatusOverride();
}

void Toggle::ClearStatusOverride() {
    statusOverride.Clear();
    PublishStatusOverride();
}

void Toggle::PublishStatusOverride() const {
    if (statusOverride.HasValue()) {
        Zelk::AtomicStoreRelease(&publishedOverrideValue, static_cast<Zelk::Int32>(statusOverride.Get()));
    }
    StoreFenced(&publishedOverrideSet, statusOverride.HasValue() ? 1 : 0);
    UpdateInlineAnswer();
}

void Toggle::PublishKindStatus(ToggleStatus status) const {
    StoreFenced(&kindStatus, InlineStatus(status));
    UpdateInlineAnswer();
}

void Toggle::UpdateInlineAnswer() const {
    constexpr Zelk::Int32 statusBits = AnswerEnabled | AnswerUnresolved;
    for (;;) {
        const Zelk::Int32 old = Zelk::AtomicLoadAcquire(&inlineAnswer);
        const Zelk::Int32 status =
            Zelk::AtomicLoadAcquire(&publishedOverrideSet) != 0
                ? InlineStatus(static_cast<ToggleStatus>(Zelk::AtomicLoadAcquire(&publishedOverrideValue)))
                : Zelk::AtomicLoadAcquire(&kindStatus);
        if ((old & statusBits) == status) {
            return;
        }
        static_cast<void>(Zelk::AtomicCompareAndSwap(&inlineAnswer, (old & ~statusBits) | status, old));
    }
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

const char* Toggle::GetDescription() const {
    return description;
}

void SetFirstQueryHook(FirstQueryHook hook) {
    firstQueryHook.store(hook, std::memory_order_seq_cst);
}

void NotifyFirstQuery(const Toggle& toggle, ToggleStatus status) {
    // Sequentially consistent, to pair with SetFirstQueryHook; a plain load on x86-64.
    if (const FirstQueryHook hook = firstQueryHook.load(std::memory_order_seq_cst)) {
        hook(toggle, status);
    }
}

}  // namespace FeatureToggle
