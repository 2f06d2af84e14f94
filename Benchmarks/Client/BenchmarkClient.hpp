// A client module of the library: it asks the questions that the benchmarks time, so that every
// query crosses from one shared library into another, as client code's do. The baselines are
// asked from here too, and so pay the same crossing.
#pragma once

#include <atomic>
#include <cstddef>

#include "BenchmarkClientExport.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
#include "Replica/CachedFeatureList.hpp"

namespace BenchmarkClient {

// IsToggleEnabled(toggle), `count` times; how many answers were true.
BENCHMARK_CLIENT_EXPORT std::size_t QueryRepeatedly(const FeatureToggle::Toggle& toggle, std::size_t count);
// IsToggleEnabled once on each toggle.
BENCHMARK_CLIENT_EXPORT std::size_t QueryEachOnce(const FeatureToggle::Toggle* const* toggles,
                                                  std::size_t count);

// BaselineFlag::IsSet(), `count` times.
BENCHMARK_CLIENT_EXPORT std::size_t ReadFlagRepeatedly(std::size_t count);
// CachedFeatureList::IsEnabled(feature), `count` times.
BENCHMARK_CLIENT_EXPORT std::size_t QueryReplicaRepeatedly(const CachedFeatureList::Feature& feature,
                                                           std::size_t count);
// absl::GetFlag(FLAGS_featuretoggle_benchmark_flag), `count` times.
BENCHMARK_CLIENT_EXPORT std::size_t ReadAbslFlagRepeatedly(std::size_t count);
// BaselineFlag::SetLatch once on each latch.
BENCHMARK_CLIENT_EXPORT std::size_t SetEachLatchOnce(std::atomic<int>* const* latches, std::size_t count);

}  // namespace BenchmarkClient
