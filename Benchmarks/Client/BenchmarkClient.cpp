#include "Client/BenchmarkClient.hpp"

#include <absl/flags/flag.h>

#include "Baseline/BaselineFlag.hpp"

namespace BenchmarkClient {

namespace {

// The one loop every repeated query runs in, so that the cases and their baselines differ only
// in the question asked.
template <typename Ask>
std::size_t CountTrueAnswers(std::size_t count, Ask ask) {
    std::size_t answers = 0;
    for (std::size_t i = 0; i < count; ++i) {
        answers += ask(i) ? 1 : 0;
    }
    return answers;
}

}  // namespace

std::size_t QueryRepeatedly(const FeatureToggle::Toggle& toggle, std::size_t count) {
    return CountTrueAnswers(count, [&toggle](std::size_t) { return FeatureToggle::IsToggleEnabled(toggle); });
}

std::size_t QueryEachOnce(const FeatureToggle::Toggle* const* toggles, std::size_t count) {
    return CountTrueAnswers(count,
                            [toggles](std::size_t i) { return FeatureToggle::IsToggleEnabled(*toggles[i]); });
}

std::size_t ReadFlagRepeatedly(std::size_t count) {
    return CountTrueAnswers(count, [](std::size_t) { return BaselineFlag::IsSet(); });
}

std::size_t QueryReplicaRepeatedly(const CachedFeatureList::Feature& feature, std::size_t count) {
    return CountTrueAnswers(count, [&feature](std::size_t) { return CachedFeatureList::IsEnabled(feature); });
}

std::size_t ReadAbslFlagRepeatedly(std::size_t count) {
    return CountTrueAnswers(count,
                            [](std::size_t) { return absl::GetFlag(FLAGS_featuretoggle_benchmark_flag); });
}

std::size_t SetEachLatchOnce(std::atomic<int>* const* latches, std::size_t count) {
    return CountTrueAnswers(count, [latches](std::size_t i) { return BaselineFlag::SetLatch(*latches[i]); });
}

}  // namespace BenchmarkClient
