#pragma once

#include <cstdint>

#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

// Answers a status from one boolean value of the preference store, named by the identity's
// RegistryBasedToggleIdData: true is Enabled, false Disabled. A root that cannot be opened, or a
// value that cannot be read, gives no answer. Keeps no state between calls.
class FEATURETOGGLE_EXPORT RegistryBasedToggleStatusEvaluator : public ToggleStatusEvaluator {
public:
    enum WriteBackStrategy : std::int32_t {
        NoWriteBack = 0,
    };

    explicit RegistryBasedToggleStatusEvaluator(WriteBackStrategy strategy);
    RegistryBasedToggleStatusEvaluator(const RegistryBasedToggleStatusEvaluator& other);
    RegistryBasedToggleStatusEvaluator(RegistryBasedToggleStatusEvaluator&& other) noexcept;
    ~RegistryBasedToggleStatusEvaluator() override;

    // Only identities with a RegistryBasedToggleIdData may be passed; others get no answer.
    Zelk::Optional<ToggleStatus> EvaluateToggleStatus(const ToggleId& id) const override;

private:
    const WriteBackStrategy writeBackStrategy;
};

}  // namespace FeatureToggle
