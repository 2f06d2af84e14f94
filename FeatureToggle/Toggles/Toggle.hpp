#pragma once

#include <typeinfo>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"

namespace FeatureToggle {

struct ToggleInfo;
class Toggle;

FEATURETOGGLE_EXPORT bool QueryToggleEnabled(const Toggle& toggle);
inline bool IsToggleEnabled(const Toggle& toggle);

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

    // For the library's own kinds whose status is plain data: `kind` is the exact class whose
    // status the kind keeps published through PublishKindStatus. Queries of an object of exactly
    // that class may then skip the virtual call; any subclass is still asked.
    void SetPlainStatusKind(const std::type_info& kind) { plainStatusKind = &kind; }
    void PublishKindStatus(ToggleStatus status) const;

private:
    friend class ToggleAccessor;
    friend bool IsToggleEnabled(const Toggle& toggle);

    static constexpr Zelk::Int32 Unresolved = -1;

    ToggleStatus GetCurrentStatus() const;
    void UpdateResolvedStatus() const;

    ToggleId toggleId;
    ToggleDefaultStatus defaultStatus;
    Zelk::Optional<ToggleStatus> statusOverride;
    mutable OnceValue<bool> queried;

    // What a query of a plain kind answers without the virtual call: 1 for Enabled, 0 for any
    // other status, Unresolved while the kind has published nothing. Kept equal to the override
    // while one is set. Written by construction, the override guard, the kind's evaluations.
    mutable volatile Zelk::Int32 resolvedStatus = Unresolved;
    mutable Zelk::Int32 kindStatus = Unresolved;
    const std::type_info* plainStatusKind = nullptr;
    // Decided once, inside the first query's latch computation, so that the latch's release
    // publishes it to every thread that sees the toggle queried.
    mutable bool usesResolvedStatus = false;
};

// QueryToggleEnabled is the whole query out of line: it marks the toggle queried, then asks it.
// IsToggleEnabled falls back to it; a client that cannot compile the inline path below may call
// it directly.

// The one question client code asks: is the toggle's status Enabled? Marks it queried. May be
// called from any thread. Once a toggle of a plain kind has been queried, the answer is two loads
// from the toggle itself; everything else goes through QueryToggleEnabled.
inline bool IsToggleEnabled(const Toggle& toggle) {
    if (toggle.queried.TryGet() != nullptr && toggle.usesResolvedStatus) {
        const Zelk::Int32 resolved = Zelk::AtomicLoadAcquire(&toggle.resolvedStatus);
        if (resolved != Toggle::Unresolved) {
            return resolved == 1;
        }
    }
    return QueryToggleEnabled(toggle);
}

}  // namespace FeatureToggle
