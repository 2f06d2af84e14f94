#pragma once

#include <functional>

#include "FeatureToggle/Identity/ToggleId.hpp"
#include "ZelkRoot/Containers.hpp"

namespace FeatureToggle {

class Toggle;

// The process-wide index of live toggles, grouped by identity. Every operation holds one spin
// lock for its whole length, callbacks included: a callback must not reach the registry again
// (constructing or destroying a toggle does).
class ToggleRegistry {
public:
    // The single registry, made on first use.
    static ToggleRegistry& GetInstance();

    virtual ~ToggleRegistry() = default;

    virtual void Register(Toggle& toggle) = 0;
    virtual void Unregister(Toggle& toggle) = 0;
    // One identity per group of live toggles; a snapshot the caller owns.
    virtual Zelk::HashSet<ToggleId> GetRegisteredToggleIds() const = 0;
    virtual void EnumerateToggles(const std::function<void(Toggle&)>& callback) = 0;
    virtual void EnumerateToggles(const std::function<void(const Toggle&)>& callback) const = 0;
    // Visits the live toggles of one identity; nothing if it has none.
    virtual void EnumerateTogglesById(const ToggleId& id, const std::function<void(Toggle&)>& callback) = 0;
    virtual void EnumerateTogglesById(const ToggleId& id,
                                      const std::function<void(const Toggle&)>& callback) const = 0;

    // Visits the live toggles whose dynamic type is T or derived from it.
    template <typename T>
    void EnumerateToggles(const std::function<void(T&)>& callback) {
        EnumerateToggles(std::function<void(Toggle&)>([&callback](Toggle& toggle) {
            if (T* typed = dynamic_cast<T*>(&toggle)) {
                callback(*typed);
            }
        }));
    }
};

}  // namespace FeatureToggle
