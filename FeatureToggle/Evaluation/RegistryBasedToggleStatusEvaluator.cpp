#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"

#include <utility>

#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"

namespace FeatureToggle {

namespace {

// Runs its callable once when it goes out of scope, unless dismissed first.
template <typename Callable>
class ScopeGuard {
public:
    explicit ScopeGuard(Callable callable) : callable(std::move(callable)) {}
    ~ScopeGuard() {
        if (armed) {
            armed = false;
            callable();
        }
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    void Dismiss() noexcept { armed = false; }

private:
    Callable callable;
    bool armed = true;
};

// Codes of a finished read. With "value empty" the out-parameter is left as it was, so the
// identity still gets a status: the one the boolean started with.
constexpr Zelk::UInt32 ReadOk = 0;
constexpr Zelk::UInt32 ReadValueEmpty = 0x81000502;

}  // namespace

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
    ScopeGuard closeRoot([&root] { ZelkPref::CloseRootKey(&root); });
    if (root == nullptr) {
        return {};
    }

    bool value = false;
    const Zelk::String path = idData->GetPath();
    const Zelk::String name = idData->GetName();
    const Zelk::UInt32 code = root->ReadBool(path.ToCStr(), name.ToCStr(), &value, 0, 0);
    if (code != ReadOk && code != ReadValueEmpty) {
        return {};
    }
    return value ? ToggleStatus::Enabled : ToggleStatus::Disabled;
}

}  // namespace FeatureToggle
