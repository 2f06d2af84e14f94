#include "FeatureToggle/Registry/Internal/ToggleRegistryImpl.hpp"

#include "FeatureToggle/Internal/ScopeGuard.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Synchronisation.hpp"

#include <utility>

namespace FeatureToggle {

namespace {

// Holds the registry's lock for one operation; an exception from a callback releases it too.
[[nodiscard]] auto LockForScope(Zelk::SpinLock& lock) noexcept {
    lock.Acquire(true);
    return ScopeGuard([&lock]() noexcept { lock.Release(); });
}

}  // namespace

ToggleRegistryImpl::ToggleRegistryImpl() = default;

ToggleRegistryImpl::~ToggleRegistryImpl() = default;

void ToggleRegistryImpl::Register(Toggle& toggle) {
    const auto scope = LockForScope(lock);
    const ToggleId& id = ToggleAccessor::GetToggleId(toggle);
    Zelk::HashSet<Toggle*>& toggles = togglesById.GetOrAdd(id);
    try {
        toggles.Add(&toggle);
    } catch (...) {
        // Keep every entry non-empty, also when the set cannot grow.
        if (toggles.IsEmpty()) {
            togglesById.Remove(id);
        }
        throw;
    }
}

void ToggleRegistryImpl::Unregister(Toggle& toggle) {
    const auto scope = LockForScope(lock);
    const ToggleId& id = ToggleAccessor::GetToggleId(toggle);
    Zelk::HashSet<Toggle*>* toggles = togglesById.Get(id);
    if (toggles == nullptr) {
        return;
    }
    toggles->Remove(&toggle);
    if (toggles->IsEmpty()) {
        togglesById.Remove(id);
    }
}

Zelk::HashSet<ToggleId> ToggleRegistryImpl::GetRegisteredToggleIds() const {
    const auto scope = LockForScope(lock);
    Zelk::HashSet<ToggleId> ids;
    for (std::size_t index = 0; index < togglesById.GetSize(); ++index) {
        ids.Add(togglesById.GetKeyAt(index));
    }
    return ids;
}

void ToggleRegistryImpl::EnumerateToggles(const std::function<void(Toggle&)>& callback) {
    // The registry holds the toggles as modifiable objects; only the callback's view is const.
    std::as_const(*this).EnumerateToggles(std::function<void(const Toggle&)>(
        [&callback](const Toggle& toggle) { callback(const_cast<Toggle&>(toggle)); }));
}

void ToggleRegistryImpl::EnumerateToggles(const std::function<void(const Toggle&)>& callback) const {
    const auto scope = LockForScope(lock);
    for (std::size_t index = 0; index < togglesById.GetSize(); ++index) {
        for (Toggle* toggle : togglesById.GetValueAt(index)) {
            callback(*toggle);
        }
    }
}

void ToggleRegistryImpl::EnumerateTogglesById(const ToggleId& id,
                                              const std::function<void(Toggle&)>& callback) {
    std::as_const(*this).EnumerateTogglesById(
        id, std::function<void(const Toggle&)>(
                [&callback](const Toggle& toggle) { callback(const_cast<Toggle&>(toggle)); }));
}

void ToggleRegistryImpl::EnumerateTogglesById(const ToggleId& id,
                                              const std::function<void(const Toggle&)>& callback) const {
    const auto scope = LockForScope(lock);
    if (const Zelk::HashSet<Toggle*>* toggles = togglesById.Get(id)) {
        for (Toggle* toggle : *toggles) {
            callback(*toggle);
        }
    }
}

}  // namespace FeatureToggle
