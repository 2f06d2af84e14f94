#include "Client/BenchmarkClient.hpp"

#include <absl/flags/flag.h>

#include "Baseline/BaselineFlag.hpp"

namespace BenchmarkClient {

std::size_t QueryRepeatedly(const FeatureToggle::Toggle& toggle, std::size_t count) {
    std::size_t enabled = 0;
    for (std::size_t i = 0; i < count; ++i) {
        enabled += FeatureToggle::IsToggleEnabled(toggle) ? 1 : 0;
    }
    return enabled;
}

std::size_t QueryEachOnce(const FeatureToggle::Toggle* const* toggles, std::size_t count) {
    std::size_t enabled = 0;
    for (std::size_t i = 0; i < count; ++i) {
        enabled += FeatureToggle::IsToggleEnabled(*toggles[i]) ? 1 : 0;
    }
    return enabled;
}

std::size_t ReadFlagRepeatedly(std::size_t count) {
    std::size_t set = 0;
    for (std::size_t i = 0; i < count; ++i) {
        set += BaselineFlag::IsSet() ? 1 : 0;
    }
    return set;
}

std::size_t ReadAbslFlagRepeatedly(std::size_t count) {
    std::size_t set = 0;
    for (std::size_t i = 0; i < count; ++i) {
        set += absl::GetFlag(FLAGS_featuretoggle_benchmark_flag) ? 1 : 0;
    }
    return set;
}

std::size_t SetEachLatchOnce(std::atomic<int>* const* latches, std::size_t count) {
    std::size_t set = 0;
    for (std::size_t i = 0; i < count; ++i) {
        set += BaselineFlag::SetLatch(*latches[i]) ? 1 : 0;
    }
    return set;
}

}  // namespace BenchmarkClient
