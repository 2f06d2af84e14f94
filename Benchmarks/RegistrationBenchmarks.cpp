// Constructing and destroying release toggles, which registers and unregisters them, against
// inserting and erasing the same keys in standard containers.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "BenchmarkCases.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/AllocationCounter.hpp"
#include "Support/BenchmarkData.hpp"
#include "ZelkRoot/Strings.hpp"

namespace Benchmarks {

namespace {

constexpr std::size_t SharedNameCount = 100;

// Where the toggles live: like static objects, outside the heap.
struct alignas(FeatureToggle::ReleaseToggle) ToggleSlot {
    unsigned char bytes[sizeof(FeatureToggle::ReleaseToggle)];
};

// BenchmarkData::ToggleCount names, `distinct` of them different.
std::vector<std::string> MakeNames(std::size_t distinct) {
    std::vector<std::string> names;
    names.reserve(BenchmarkData::ToggleCount);
    for (std::size_t i = 0; i < BenchmarkData::ToggleCount; ++i) {
        names.push_back(BenchmarkData::GetToggleName(i % distinct));
    }
    return names;
}

void RecordCounters(benchmark::State& state, std::uint64_t allocations, std::size_t liveBytes,
                    std::size_t count) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.counters["bytesPerLive"] = static_cast<double>(liveBytes) / static_cast<double>(count);
}

// `build` then `tear` is one iteration. Before timing, the heap that one `build` holds is
// measured, which also brings the containers to their working size.
template <typename Build, typename Tear>
void RunBuildAndTear(benchmark::State& state, std::size_t count, Build build, Tear tear) {
    const std::size_t heapBefore = AllocationCounter::HeapBytesInUse();
    build();
    const std::size_t liveBytes = AllocationCounter::HeapBytesInUse() - heapBefore;
    tear();

    const std::uint64_t before = AllocationCounter::ThreadAllocations();
    for (auto _ : state) {
        build();
        tear();
    }
    RecordCounters(state, AllocationCounter::ThreadAllocations() - before, liveBytes, count);
}

void ConstructAndDestroyToggles(benchmark::State& state, std::size_t distinct) {
    std::vector<Zelk::String> names;
    for (const std::string& name : MakeNames(distinct)) {
        names.emplace_back(name.c_str());
    }
    const std::unique_ptr<ToggleSlot[]> slots(new ToggleSlot[names.size()]);
    const auto toggleAt = [&slots](std::size_t i) {
        return std::launder(reinterpret_cast<FeatureToggle::ReleaseToggle*>(&slots[i]));
    };
    RunBuildAndTear(
        state, names.size(),
        [&] {
            for (std::size_t i = 0; i < names.size(); ++i) {
                new (&slots[i])
                    FeatureToggle::ReleaseToggle(names[i], FeatureToggle::ToggleDefaultStatus::Disabled);
            }
        },
        // Static objects go in the reverse order of their making.
        [&] {
            for (std::size_t i = names.size(); i-- > 0;) {
                toggleAt(i)->~ReleaseToggle();
            }
        });
}

void InsertAndEraseKeys(benchmark::State& state, std::size_t distinct) {
    const std::vector<std::string> names = MakeNames(distinct);
    const std::unique_ptr<ToggleSlot[]> slots(new ToggleSlot[names.size()]);
    // Kept across iterations, as the registry is.
    std::unordered_map<std::string, std::unordered_set<void*>> index;
    RunBuildAndTear(
        state, names.size(),
        [&] {
            for (std::size_t i = 0; i < names.size(); ++i) {
                index[names[i]].insert(&slots[i]);
            }
        },
        [&] {
            for (std::size_t i = names.size(); i-- > 0;) {
                const auto found = index.find(names[i]);
                found->second.erase(&slots[i]);
                if (found->second.empty()) {
                    index.erase(found);
                }
            }
        });
}

std::string DescribeHeap(const ResultTable& results, const char* library, const char* baseline) {
    char note[128];
    std::snprintf(note, sizeof(note), "heap per live toggle %.0f B vs %.0f B; object %zu B",
                  results.GetCounter(library, "bytesPerLive"), results.GetCounter(baseline, "bytesPerLive"),
                  sizeof(FeatureToggle::ReleaseToggle));
    return note;
}

}  // namespace

void RegisterRegistrationBenchmarks(ResultTable& table) {
    benchmark::RegisterBenchmark("Registration/Distinct/Toggles", ConstructAndDestroyToggles,
                                 BenchmarkData::ToggleCount);
    benchmark::RegisterBenchmark("Registration/Distinct/StdContainers", InsertAndEraseKeys,
                                 BenchmarkData::ToggleCount);
    benchmark::RegisterBenchmark("Registration/Shared/Toggles", ConstructAndDestroyToggles, SharedNameCount);
    benchmark::RegisterBenchmark("Registration/Shared/StdContainers", InsertAndEraseKeys, SharedNameCount);

    const double count = static_cast<double>(BenchmarkData::ToggleCount);
    const char* const baseline = "std::unordered_map+set";
    table.AddRow("Register+unregister, 100,000 names", "Registration/Distinct/Toggles", baseline,
                 "Registration/Distinct/StdContainers", count, 2, [](const ResultTable& results) {
                     return DescribeHeap(results, "Registration/Distinct/Toggles",
                                         "Registration/Distinct/StdContainers");
                 });
    table.AddRow("Register+unregister, 100 names", "Registration/Shared/Toggles", baseline,
                 "Registration/Shared/StdContainers", count, 2, [](const ResultTable& results) {
                     return DescribeHeap(results, "Registration/Shared/Toggles",
                                         "Registration/Shared/StdContainers");
                 });
}

}  // namespace Benchmarks
