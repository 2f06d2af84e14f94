// A replica of the cached query path of a peer library's feature list, as a peer for the
// query benchmarks: an exported function that checks a global for null, tests a set of
// overrides for emptiness, then reads a relaxed 32-bit cache in the feature and compares it.
#pragma once

#include <atomic>
#include <cstdint>

namespace CachedFeatureList {

struct Feature {
    const char* name;
    bool enabledByDefault;
    // 0 until the first query caches the answer; then CachedEnabled or CachedDisabled.
    mutable std::atomic<std::uint32_t> cachedState{0};
};

// Exported and out of line, so every call crosses modules as a client's would.
bool IsEnabled(const Feature& feature) noexcept;

}  // namespace CachedFeatureList
