#pragma once

#include <typeinfo>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"
#include "ZelkRoot/Synchronisation.hpp"
#include "ZelkRoot/Templates.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

struct ToggleInfo;
class Toggle;

// The whole query out of line: marks the toggle queried, then asks it. IsToggleEnabled falls back
// to it; a client that cannot compile the inline path below may call it directly.
FEATURETOGGLE_EXPORT bool QueryToggleEnabled(const Toggle& toggle);
inline bool IsToggleEnabled(const Toggle& toggle);
// The text the toggle was declared with, or "" when it has none.
FEATURETOGGLE_EXPORT const char* GetToggleDescription(const Toggle& toggle);

// The base of every feature toggle: an identity, a compiled-in default, an optional status
// override (set by tests) and a mark of whether client code has ever asked for the status.
// A toggle is in the process-wide registry from the end of this base's construction to the
// start of its destruction. Client code asks IsToggleEnabled(toggle) and nothing else.
//
// The contract of a toggle kind (a class derived from Toggle, the library's or a client's):
//
// - What a kind supplies. GetCurrentStatusImpl is its status while no test override is set;
//   IsDefaultValueOverriddenImpl says whether that status differs from the default. Queries call
//   them on whichever thread asks; the test override is the base's business alone.
// - Which toggles are answered inline. IsToggleEnabled answers from the toggle, without calling
//   the kind, only once the toggle has been queried, and only for an object whose dynamic type is
//   exactly the class its kind named with SetPlainStatusKind(typeid(Class)) in its constructor:
//   ReleaseToggle, DebugToggle, and AutomaticallyEvaluatedToggle with EvaluateOnce. Any subclass
//   of them, EvaluateAlways, and every other kind go out of line to QueryToggleEnabled, which asks
//   GetCurrentStatusImpl each time.
// - What a plain kind must publish, and when. Every status its GetCurrentStatusImpl will return,
//   through PublishKindStatus, at the moment it is decided and before anything can observe it:
//   the status it starts with, in its constructor (or, for a status computed once, inside that
//   computation), and each later change where it is made (a triggered evaluation). A change it
//   does not publish is never seen by inline answers, so a kind whose status follows something it
//   does not control (an evaluator asked every time) must not call SetPlainStatusKind. Until the
//   kind's first publication, queries go out of line. GetCurrentStatusImpl itself may meet a
//   change on another thread, so what it reads is published too (an atomic copy beside the plain
//   field, as OnDemandEvaluatedToggle keeps).
// - Which calls may run at the same time as which.
//   * Queries (IsToggleEnabled, QueryToggleEnabled) may come on any thread at any time, also while
//     another thread loads the release overrides, triggers evaluations, or makes or ends an
//     OverrideToggleValueGuard. A query answers the status in force before or after that change,
//     and every query that begins after the change has ended answers the new status.
//   * Those changes, the report and the listing are made from one thread at a time.
//   * Toggles may be made and destroyed on any thread, but not while a change is being made. A
//     registry walk may meet another thread's toggle half made or half destroyed: its callback
//     must not call the kind's virtual operations.
class FEATURETOGGLE_EXPORT Toggle {
public:
    virtual ~Toggle();
    Toggle(const Toggle&) = delete;
    Toggle& operator=(const Toggle&) = delete;

    // The status, without marking the toggle queried; only the toggle report reads it so.
    ToggleStatus GetCurrentStatus(Zelk::Friend<ToggleInfo>) const;

protected:
    // Clones the identity, takes the test override in force for it, and registers the toggle.
    Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus);
    // The same, with a description: a text that lives as long as the toggle (a literal); null
    // stands for none.
    Toggle(const ToggleIdData& idData, ToggleDefaultStatus defaultStatus, const char* description);

    // The status the concrete kind computes, used when no override is set.
    virtual ToggleStatus GetCurrentStatusImpl() const = 0;
    // Whether the concrete kind's status differs from the default.
    virtual bool IsDefaultValueOverriddenImpl() const = 0;

    // Marks the toggle queried, then returns its status.
    ToggleStatus QueryCurrentStatus() const;
    ToggleDefaultStatus GetDefaultStatus() const { return defaultStatus; }
    const ToggleId& GetToggleId() const;
    // True while an override is set; otherwise the concrete kind decides.
    bool IsDefaultValueOverridden() const;
    void SetStatusOverride(ToggleStatus status);
    void ClearStatusOverride();
    // True once a query has finished on any thread; never reset.
    bool WasQueried() const;
    // The text the toggle was declared with; "" when it has none.
    const char* GetDescription() const;
    // True once a query has begun marking the toggle, also while it is still under way.
    bool HasQueryStarted() const { return queried.HasStarted(); }

    // For kinds whose status is plain data: `kind` is the exact class whose status the kind keeps
    // published through PublishKindStatus. See the contract of a toggle kind above.
    void SetPlainStatusKind(const std::type_info& kind) { plainStatusKind = &kind; }
    void PublishKindStatus(ToggleStatus status) const;

private:
    friend class ToggleAccessor;
    friend bool IsToggleEnabled(const Toggle& toggle);

    // Bits of `inlineAnswer`. Only the values 0 (Disabled) and AnswerEnabled may be answered
    // inline; any other bit sends the query out of line.
    static constexpr Zelk::Int32 AnswerEnabled = 1;
    static constexpr Zelk::Int32 AnswerUnresolved = 2;  // the kind has published no status yet
    static constexpr Zelk::Int32 AnswerOutOfLine = 4;   // not queried yet, or not a plain kind

    // Reads only what is published below, so that it may meet a status change on another thread.
    ToggleStatus GetCurrentStatus() const;
    void PublishStatusOverride() const;
    // Brings the inline answer's status in line with the published override and kind status,
    // checking again after each change of it: a status change and the first query of a kind
    // that publishes then may meet, and neither may leave the other's status behind.
    void UpdateInlineAnswer() const;
    // Replaces the bits in `mask` of the inline answer with `bits`, keeping the others.
    void ReplaceAnswerBits(Zelk::Int32 mask, Zelk::Int32 bits) const;

    ToggleId toggleId;
    ToggleDefaultStatus defaultStatus;
    Zelk::Optional<ToggleStatus> statusOverride;
    mutable OnceValue<bool> queried;

    // What a query answers without leaving the caller: the override while one is set, else the
    // status the kind last published. Kept current by construction, the override guard and the
    // kind's evaluations; opened to inline answers by the first query of a plain kind.
    mutable volatile Zelk::Int32 inlineAnswer = AnswerUnresolved | AnswerOutOfLine;
    mutable volatile Zelk::Int32 kindStatus = AnswerUnresolved;
    // `statusOverride` as queries on any thread read it: the value is written before the flag.
    mutable volatile Zelk::Int32 publishedOverrideValue = 0;
    mutable volatile Zelk::Int32 publishedOverrideSet = 0;
    const std::type_info* plainStatusKind = nullptr;
    // Decided once, inside the first query's latch computation, so that the latch's release
    // publishes it to every thread that sees the toggle queried.
    mutable bool answersInline = false;
    // Static text from the declaration, after the fields above so that they keep their places;
    // "" when there is none.
    const char* description;
};

// The one question client code asks: is the toggle's status Enabled? Marks it queried. May be
// called from any thread (see Toggle). Once a toggle of a plain kind has been queried, the
// answer is one load from the toggle itself; everything else goes through QueryToggleEnabled.
inline bool IsToggleEnabled(const Toggle& toggle) {
    const Zelk::Int32 answer = Zelk::AtomicLoadAcquire(&toggle.inlineAnswer);
    if (answer <= Toggle::AnswerEnabled) {
        return answer == Toggle::AnswerEnabled;
    }
    return QueryToggleEnabled(toggle);
}

}  // namespace FeatureToggle
