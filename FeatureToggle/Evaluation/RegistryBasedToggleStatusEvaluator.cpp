#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"

#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Internal/ScopeGuard.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

RegistryBasedToggleStatusEvaluator::RegistryBasedToggleStatusEvaluator(WriteBackStrategy strategy)
    : writeBackStrategy(strategy) {}

RegistryBasedToggleStatusEvaluator::RegistryBasedToggleStatusEvaluator(
    const RegistryBasedToggleStatusEvaluator& other) = default;

RegistryBasedToggleStatusEvaluator::RegistryBasedToggleStatusEvaluator(
    RegistryBasedToggleStatusEvaluator&& other) noexcept
    : ToggleStatusEvaluator(other), writeBackStrategy(other.writeBackStrategy) {}

RegistryBasedToggleStatusEvaluator::~RegistryBasedToggleStatusEvaluator() = default;

Zelk::Optional<ToggleStatus> RegistryBasedToggleStatusEvaluator::EvaluateToggleStatus(
    const ToggleId& id) const {
    const auto* const idData = dynamic_cast<const RegistryBasedToggleIdData*>(id.GetData());
    if (idData == nullptr) {
        return {};
    }

    ZelkPref::IRoot* root = ZelkPref::OpenRootKey(idData->GetDomain());
    const ScopeGuard closeRoot([&root] { ZelkPref::CloseRootKey(&root); });
    if (root == nullptr) {
        return {};
    }

    bool value = false;
    const Zelk::String path = idData->GetPath();
    const Zelk::String name = idData->GetName();
    const Zelk::UInt32 code = root->ReadBool(path.ToCStr(), name.ToCStr(), &value, 0, 0);
    // With "value empty" the out-parameter is left as it was, so the identity still gets a
    // status: the one the boolean started with.
    if (code != ZelkPref::ResultOk && code != ZelkPref::ResultValueEmpty) {
        return {};
    }
    return value ? ToggleStatus::Enabled : ToggleStatus::Disabled;
}

}  // namespace FeatureToggle
