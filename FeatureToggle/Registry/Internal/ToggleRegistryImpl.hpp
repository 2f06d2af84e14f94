#pragma once

#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Synchronisation.hpp"

namespace FeatureToggle {

class ToggleRegistryImpl final : public ToggleRegistry {
public:
    ToggleRegistryImpl();
    ~ToggleRegistryImpl() override;

    void Register(Toggle& toggle) override;
    void Unregister(Toggle& toggle) override;
    Zelk::HashSet<ToggleId> GetRegisteredToggleIds() const override;
    void EnumerateToggles(const std::function<void(Toggle&)>& callback) override;
    void EnumerateToggles(const std::function<void(const Toggle&)>& callback) const override;
    void EnumerateTogglesById(const ToggleId& id, const std::function<void(Toggle&)>& callback) override;
    void EnumerateTogglesById(const ToggleId& id,
                              const std::function<void(const Toggle&)>& callback) const override;

    using ToggleRegistry::EnumerateToggles;

private:
    mutable Zelk::SpinLock lock;
    // Every key maps to a non-empty set of the addresses of its live toggles.
    Zelk::HashTable<ToggleId, Zelk::HashSet<Toggle*>> togglesById;
};

}  // namespace FeatureToggle
