#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"

namespace FeatureToggle {

struct ToggleInfo;

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

private:
    friend class ToggleAccessor;

    ToggleStatus GetCurrentStatus() const;

    ToggleId toggleId;
    ToggleDefaultStatus defaultStatus;
    Zelk::Optional<ToggleStatus> statusOverride;
    mutable OnceValue<bool> queried;
};

// The one question client code asks: is the toggle's status Enabled? Marks it queried. May be
// called from any thread.
FEATURETOGGLE_EXPORT bool IsToggleEnabled(const Toggle& toggle);

}  // namespace FeatureToggle
