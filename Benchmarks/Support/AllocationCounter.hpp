#pragma once

#include <cstddef>
#include <cstdint>

#include <benchmark/benchmark.h>

namespace Benchmarks {

// Counts heap allocations. The executable that links this wraps the C allocator, which every
// allocation of the process reaches: operator new, the platform's memory manager, libxml2.
class AllocationCounter {
public:
    // Allocations made on the calling thread since it started.
    static std::uint64_t ThreadAllocations() noexcept;
    // Bytes the C heap has handed out and not taken back, chunk overheads included.
    static std::size_t HeapBytesInUse() noexcept;
};

// Reports `allocations`, made over all of the benchmark's iterations, per iteration.
inline void CountAllocations(benchmark::State& state, std::uint64_t allocations) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// Runs `work` once per iteration and reports the calling thread's allocations per iteration.
template <typename Work>
void RunCounted(benchmark::State& state, Work work) {
    const std::uint64_t before = AllocationCounter::ThreadAllocations();
    for (auto _ : state) {
        work();
    }
    CountAllocations(state, AllocationCounter::ThreadAllocations() - before);
}

}  // namespace Benchmarks
