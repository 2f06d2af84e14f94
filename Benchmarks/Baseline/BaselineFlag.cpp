#include "Baseline/BaselineFlag.hpp"

#include <absl/flags/flag.h>

#include "ZelkRoot/Portability.hpp"

ABSL_FLAG(bool, featuretoggle_benchmark_flag, true, "What the absl baseline of the query benchmarks reads");

namespace BaselineFlag {

namespace {
std::atomic<bool> flag{true};
}  // namespace

FEATURETOGGLE_NOINLINE bool IsSet() noexcept {
    return flag.load(std::memory_order_relaxed);
}

FEATURETOGGLE_NOINLINE bool SetLatch(std::atomic<int>& latch) noexcept {
    int expected = 0;
    return latch.compare_exchange_strong(expected, 1, std::memory_order_acq_rel, std::memory_order_acquire);
}

}  // namespace BaselineFlag
