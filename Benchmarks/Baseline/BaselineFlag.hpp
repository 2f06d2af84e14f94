// What the query baselines read: a flag behind an exported function of another module, as cheap
// as a shared switch can be, and the same flag as an absl flag.
#pragma once

#include <atomic>

#include <absl/flags/declare.h>

ABSL_DECLARE_FLAG(bool, featuretoggle_benchmark_flag);

namespace BaselineFlag {

// A relaxed load of a std::atomic<bool>; exported and out of line, so every call crosses modules.
bool IsSet() noexcept;

// The cheapest once-latch: sets `latch` from 0 to 1 and says whether this call did.
bool SetLatch(std::atomic<int>& latch) noexcept;

}  // namespace BaselineFlag
