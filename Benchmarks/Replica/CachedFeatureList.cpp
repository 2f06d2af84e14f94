#include "Replica/CachedFeatureList.hpp"

#include <set>
#include <string>

#include "ZelkRoot/Portability.hpp"

namespace CachedFeatureList {

namespace {

constexpr std::uint32_t CachedEnabled = 1;
constexpr std::uint32_t CachedDisabled = 2;

struct FeatureList {
    std::set<std::string> overriddenFeatures;
};

FeatureList* instance = new FeatureList;

FEATURETOGGLE_NOINLINE bool ComputeAndCache(const Feature& feature) noexcept {
    const bool enabled = instance->overriddenFeatures.count(feature.name) != 0 ? !feature.enabledByDefault
                                                                               : feature.enabledByDefault;
    feature.cachedState.store(enabled ? CachedEnabled : CachedDisabled, std::memory_order_relaxed);
    return enabled;
}

}  // namespace

FEATURETOGGLE_NOINLINE bool IsEnabled(const Feature& feature) noexcept {
    if (instance == nullptr) {
        return feature.enabledByDefault;
    }
    // Overrides made for tests bypass the cache.
    if (!instance->overriddenFeatures.empty()) {
        return ComputeAndCache(feature);
    }
    const std::uint32_t cached = feature.cachedState.load(std::memory_order_relaxed);
    if (cached != 0) {
        return cached == CachedEnabled;
    }
    return ComputeAndCache(feature);
}

}  // namespace CachedFeatureList
