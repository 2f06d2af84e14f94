// Constructing and destroying release toggles, which registers and unregisters them, against
// inserting and erasing the same keys in standard containers.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <tuple>
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
    CountAllocations(state, allocations);
    state.counters["bytesPerLive"] = static_cast<double>(liveBytes) / static_cast<double>(count);
}

// Making `count` objects in order, `make(i)`, then unmaking them in the reverse order, `unmake(i)`,
// as static objects go, is one iteration. Before timing, the heap that the made objects hold is
// measured, which also brings the containers to their working size.
template <typename Make, typename Unmake>
void RunBuildAndTear(benchmark::State& state, std::size_t count, Make make, Unmake unmake) {
    const auto build = [&] {
        for (std::size_t i = 0; i < count; ++i) {
            make(i);
        }
    };
    const auto tear = [&] {
        for (std::size_t i = count; i-- > 0;) {
            unmake(i);
        }
    };
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
    RunBuildAndTear(
        state, names.size(),
        [&](std::size_t i) {
            new (&slots[i])
                FeatureToggle::ReleaseToggle(names[i], FeatureToggle::ToggleDefaultStatus::Disabled);
        },
        [&](std::size_t i) {
            std::launder(reinterpret_cast<FeatureToggle::ReleaseToggle*>(&slots[i]))->~ReleaseToggle();
        });
}

void InsertAndEraseKeys(benchmark::State& state, std::size_t distinct) {
    const std::vector<std::string> names = MakeNames(distinct);
    const std::unique_ptr<ToggleSlot[]> slots(new ToggleSlot[names.size()]);
    // Kept across iterations, as the registry is.
    std::unordered_map<std::string, std::unordered_set<void*>> index;
    RunBuildAndTear(
        state, names.size(), [&](std::size_t i) { index[names[i]].insert(&slots[i]); },
        [&](std::size_t i) {
            const auto found = index.find(names[i]);
            found->second.erase(&slots[i]);
            if (found->second.empty()) {
                index.erase(found);
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
    const double count = static_cast<double>(BenchmarkData::ToggleCount);
    const std::tuple<const char*, std::size_t, const char*> kinds[] = {
        {"Distinct", BenchmarkData::ToggleCount, "Register+unregister, 100,000 names"},
        {"Shared", SharedNameCount, "Register+unregister, 100 names"}};
    for (const auto& [kind, distinct, title] : kinds) {
        const std::string toggles = std::string("Registration/") + kind + "/Toggles";
        const std::string containers = std::string("Registration/") + kind + "/StdContainers";
        benchmark::RegisterBenchmark(toggles.c_str(), ConstructAndDestroyToggles, distinct);
        benchmark::RegisterBenchmark(containers.c_str(), InsertAndEraseKeys, distinct);
        table.AddRow(title, toggles, "std::unordered_map+set", containers, count, 2,
                     [toggles, containers](const ResultTable& results) {
                         return DescribeHeap(results, toggles.c_str(), containers.c_str());
                     });
    }
}

}  // namespace Benchmarks
