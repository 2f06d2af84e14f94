#pragma once

#include <typeinfo>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"

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
    // True once a query has begun marking the toggle, also while it is still under way.
    bool HasQueryStarted() const { return queried.HasStarted(); }

    // For the library's own kinds whose status is plain data: `kind` is the exact class whose
    // status the kind keeps published through PublishKindStatus. Queries of an object of exactly
    // that class may then skip the virtual call; any subclass is still asked.
    void SetPlainStatusKind(const std::type_info& kind) { plainStatusKind = &kind; }
    void PublishKindStatus(ToggleStatus status) const;

private:
    friend class ToggleAccessor;
    friend bool IsToggleEnabled(const Toggle& toggle);
    friend const char* GetToggleDescription(const Toggle& toggle);

    // Bits of `inlineAnswer`. Only the values 0 (Disabled) and AnswerEnabled may be answered
    // inline; any other bit sends the query out of line.
    static constexpr Zelk::Int32 AnswerEnabled = 1;
    static constexpr Zelk::Int32 AnswerUnresolved = 2;  // the kind has published no status yet
    static constexpr Zelk::Int32 AnswerOutOfLine = 4;   // not queried yet, or not a plain kind

    ToggleStatus GetCurrentStatus() const;
    void UpdateInlineAnswer() const;
    // Replaces the bits in `mask` of the inline answer with `bits`, keeping the others: status
    // changes and the first query may meet, and neither may undo the other.
    void ReplaceAnswerBits(Zelk::Int32 mask, Zelk::Int32 bits) const;

    ToggleId toggleId;
    ToggleDefaultStatus defaultStatus;
    Zelk::Optional<ToggleStatus> statusOverride;
    mutable OnceValue<bool> queried;

    // What a query answers without leaving the caller: the override while one is set, else the
    // status the kind last published. Kept current by construction, the override guard and the
    // kind's evaluations; opened to inline answers by the first query of a plain kind.
    mutable volatile Zelk::Int32 inlineAnswer = AnswerUnresolved | AnswerOutOfLine;
    mutable Zelk::Int32 kindStatus = AnswerUnresolved;
    const std::type_info* plainStatusKind = nullptr;
    // Decided once, inside the first query's latch computation, so that the latch's release
    // publishes it to every thread that sees the toggle queried.
    mutable bool answersInline = false;
    // Static text from the declaration, after the fields above so that they keep their places;
    // "" when there is none.
    const char* description;
};

// The one question client code asks: is the toggle's status Enabled? Marks it queried. May be
// called from any thread. Once a toggle of a plain kind has been queried, the answer is one load
// from the toggle itself; everything else goes through QueryToggleEnabled.
inline bool IsToggleEnabled(const Toggle& toggle) {
    const Zelk::Int32 answer = Zelk::AtomicLoadAcquire(&toggle.inlineAnswer);
    if (answer <= Toggle::AnswerEnabled) {
        return answer == Toggle::AnswerEnabled;
    }
    return QueryToggleEnabled(toggle);
}

}  // namespace FeatureToggle
