#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

// A source of toggle statuses: answers the status assigned to an identity, or none.
class FEATURETOGGLE_EXPORT ToggleStatusEvaluator {
public:
    ToggleStatusEvaluator() = default;
    ToggleStatusEvaluator(const ToggleStatusEvaluator&) = default;
    ToggleStatusEvaluator& operator=(const ToggleStatusEvaluator&) = default;
    virtual ~ToggleStatusEvaluator();

    // Empty when no status is assigned to `id`.
    virtual Zelk::Optional<ToggleStatus> EvaluateToggleStatus(const ToggleId& id) const = 0;
};

}  // namespace FeatureToggle
