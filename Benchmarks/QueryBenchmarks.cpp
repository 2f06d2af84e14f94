// IsToggleEnabled, asked from a client module, against a relaxed atomic load behind an exported
// function of another module (the floor), a replica of a peer's cached feature query, and
// absl::GetFlag.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "BenchmarkCases.hpp"
#include "Client/BenchmarkClient.hpp"
#include "FeatureToggle/Diagnostics/FirstQueryObserver.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Testing.hpp"
#include "Support/AllocationCounter.hpp"
#include "Support/BenchmarkData.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"

namespace Benchmarks {

namespace {

using FeatureToggle::ToggleDefaultStatus;

constexpr std::size_t QueriesPerIteration = 1000;

// The toggles the repeated queries ask, each queried once already.
struct QueriedToggles {
    FeatureToggle::ReleaseToggle release{"Bench.Query.Release", ToggleDefaultStatus::Enabled};
    FeatureToggle::DebugToggle debug{"Bench/Query", "Debug"};
    FeatureToggle::ReleaseToggle overridden{"Bench.Query.Overridden", ToggleDefaultStatus::Disabled};
    // A test override made after the override file was loaded is reported as misuse; that is not
    // what is measured here.
    FeatureToggle::ErrorReporter::ReportGuard reports;
    FeatureToggle::Testing::OverrideToggleValueGuard guard{overridden, FeatureToggle::ToggleStatus::Enabled};

    QueriedToggles() {
        for (const FeatureToggle::Toggle* toggle : {static_cast<const FeatureToggle::Toggle*>(&release),
                                                    static_cast<const FeatureToggle::Toggle*>(&debug),
                                                    static_cast<const FeatureToggle::Toggle*>(&overridden)}) {
            BenchmarkClient::QueryRepeatedly(*toggle, 1);
        }
    }
};

std::optional<QueriedToggles> queried;

// Made before the threads of a run start, and gone after they end.
void MakeQueriedToggles(const benchmark::State&) {
    queried.emplace();
}
void DestroyQueriedToggles(const benchmark::State&) {
    queried.reset();
}

// Each iteration is one call of `batch`, which makes QueriesPerIteration queries.
template <typename Batch>
void RunBatches(benchmark::State& state, Batch batch) {
    RunCounted(state, [&batch] { benchmark::DoNotOptimize(batch()); });
}

void QueryReleaseToggle(benchmark::State& state) {
    RunBatches(state, [] { return BenchmarkClient::QueryRepeatedly(queried->release, QueriesPerIteration); });
}

void QueryDebugToggle(benchmark::State& state) {
    RunBatches(state, [] { return BenchmarkClient::QueryRepeatedly(queried->debug, QueriesPerIteration); });
}

void QueryOverriddenToggle(benchmark::State& state) {
    RunBatches(state,
               [] { return BenchmarkClient::QueryRepeatedly(queried->overridden, QueriesPerIteration); });
}

void ReadExportedFlag(benchmark::State& state) {
    RunBatches(state, [] { return BenchmarkClient::ReadFlagRepeatedly(QueriesPerIteration); });
}

void QueryReplica(benchmark::State& state) {
    static const CachedFeatureList::Feature feature{"BenchQueryReplica", true};
    RunBatches(state, [] { return BenchmarkClient::QueryReplicaRepeatedly(feature, QueriesPerIteration); });
}

void ReadAbslFlag(benchmark::State& state) {
    RunBatches(state, [] { return BenchmarkClient::ReadAbslFlagRepeatedly(QueriesPerIteration); });
}

// Makes ToggleCount release toggles before each iteration, named with `suffix` and the iteration's
// number, and times the first query of each. Returns the number of iterations.
int MeasureFirstQueries(benchmark::State& state, const std::string& suffix) {
    std::vector<std::unique_ptr<FeatureToggle::ReleaseToggle>> toggles;
    std::vector<const FeatureToggle::Toggle*> pointers;
    std::uint64_t allocations = 0;
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        toggles.clear();
        pointers.clear();
        const std::string iterationSuffix = suffix + std::to_string(iteration++);
        for (std::size_t i = 0; i < BenchmarkData::ToggleCount; ++i) {
            toggles.push_back(std::make_unique<FeatureToggle::ReleaseToggle>(
                (BenchmarkData::GetToggleName(i) + iterationSuffix).c_str(), ToggleDefaultStatus::Disabled));
            pointers.push_back(toggles.back().get());
        }
        state.ResumeTiming();
        const std::uint64_t before = AllocationCounter::ThreadAllocations();
        benchmark::DoNotOptimize(BenchmarkClient::QueryEachOnce(pointers.data(), pointers.size()));
        allocations += AllocationCounter::ThreadAllocations() - before;
    }
    CountAllocations(state, allocations);
    return iteration;
}

// The first query of each of many toggles made just before: the latch's first computation.
void FirstQueryOfFreshToggles(benchmark::State& state) {
    MeasureFirstQueries(state, ".Fresh");
}

// The same with a first-query observer set: each first query also remembers its identity and calls
// the observer. Names are new in every iteration, as an identity is reported only once.
void FirstQueryOfFreshTogglesObserved(benchmark::State& state) {
    std::size_t calls = 0;
    FeatureToggle::SetFirstQueryObserver(
        [&calls](const std::string&, FeatureToggle::ToggleKind, FeatureToggle::ToggleStatus) { ++calls; });
    const int iterations = MeasureFirstQueries(state, ".Observed");
    FeatureToggle::SetFirstQueryObserver(nullptr);
    if (calls != static_cast<std::size_t>(iterations) * BenchmarkData::ToggleCount) {
        state.SkipWithError("the observer missed first queries");
    }
}

// The same number of fresh objects of a toggle's size, each with a latch set once.
void SetFreshLatches(benchmark::State& state) {
    struct Latched {
        std::atomic<int> latch{0};
        unsigned char rest[sizeof(FeatureToggle::ReleaseToggle) - sizeof(std::atomic<int>)] = {};
    };
    std::vector<std::unique_ptr<Latched>> objects;
    std::vector<std::atomic<int>*> latches;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        objects.clear();
        latches.clear();
        for (std::size_t i = 0; i < BenchmarkData::ToggleCount; ++i) {
            objects.push_back(std::make_unique<Latched>());
            latches.push_back(&objects.back()->latch);
        }
        state.ResumeTiming();
        const std::uint64_t before = AllocationCounter::ThreadAllocations();
        benchmark::DoNotOptimize(BenchmarkClient::SetEachLatchOnce(latches.data(), latches.size()));
        allocations += AllocationCounter::ThreadAllocations() - before;
    }
    CountAllocations(state, allocations);
}

// Holds a registry enumeration, and so the registry's lock, until it is released.
class BlockingEvaluator : public FeatureToggle::ToggleStatusEvaluator {
public:
    Zelk::Optional<FeatureToggle::ToggleStatus> EvaluateToggleStatus(
        const FeatureToggle::ToggleId&) const override {
        entered = true;
        while (!released) {
            std::this_thread::yield();
        }
        return {};
    }

    mutable std::atomic<bool> entered{false};
    std::atomic<bool> released{false};
};

}  // namespace

void RegisterQueryBenchmarks(ResultTable& table) {
    const auto queryCase = [](const char* name, void (*function)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, function)
            ->Setup(MakeQueriedToggles)
            ->Teardown(DestroyQueriedToggles);
    };
    queryCase("Query/ExportedFunction", ReadExportedFlag);
    queryCase("Query/Replica", QueryReplica);
    queryCase("Query/AbslGetFlag", ReadAbslFlag);
    queryCase("Query/ReleaseToggle", QueryReleaseToggle);
    queryCase("Query/DebugToggle", QueryDebugToggle);
    queryCase("Query/TestOverride", QueryOverriddenToggle);
    queryCase("Query/ReleaseToggle/EachOf2Threads", QueryReleaseToggle)->Threads(2);
    // Each iteration makes 100,000 toggles outside the timing; a few iterations are plenty.
    benchmark::RegisterBenchmark("FirstQuery/ReleaseToggles", FirstQueryOfFreshToggles)->Iterations(10);
    benchmark::RegisterBenchmark("FirstQuery/Latches", SetFreshLatches)->Iterations(10);
    // After the case without an observer: once one has been set, every first query remembers its identity.
    benchmark::RegisterBenchmark("FirstQuery/ReleaseTogglesObserved", FirstQueryOfFreshTogglesObserved)
        ->Iterations(5);

    const double queries = QueriesPerIteration;
    const char* const exported = "exported atomic fn";
    const auto timesAbsl = [](const char* library) {
        return [library](const ResultTable& results) {
            char note[64];
            std::snprintf(note, sizeof(note), "%.2fx absl::GetFlag (target <= 2)",
                          results.GetNanoseconds(library) / results.GetNanoseconds("Query/AbslGetFlag"));
            return std::string(note);
        };
    };
    // The floor is a call into another module; the replica, a peer's cached query.
    for (const auto& [title, library] : {std::pair{"Query: release toggle", "Query/ReleaseToggle"},
                                         std::pair{"Query: debug toggle", "Query/DebugToggle"},
                                         std::pair{"Query: test override", "Query/TestOverride"}}) {
        table.AddRow(title, library, exported, "Query/ExportedFunction", queries, 1.0, timesAbsl(library));
        table.AddPeer("Query/Replica", 0.5);
    }
    table.AddRow("Peer: replica of a cached feature list", "Query/Replica", exported,
                 "Query/ExportedFunction", queries, 0);
    table.AddRow("Peer: absl::GetFlag(bool)", "Query/AbslGetFlag", exported, "Query/ExportedFunction",
                 queries, 0);
    // A rate of at least 90% of one thread's is a time of at most 1/0.9 of it.
    table.AddRow("Query: 2 threads, each", "Query/ReleaseToggle/EachOf2Threads", "1 thread",
                 "Query/ReleaseToggle", queries, 1 / 0.9, [](const ResultTable& results) {
                     const double rate = results.GetNanoseconds("Query/ReleaseToggle") /
                                         results.GetNanoseconds("Query/ReleaseToggle/EachOf2Threads");
                     char note[64];
                     std::snprintf(note, sizeof(note), "each thread at %.0f%% of one thread's rate",
                                   rate * 100);
                     return std::string(note);
                 });
    table.AddRow("First query of 100,000 fresh toggles", "FirstQuery/ReleaseToggles", "CAS on fresh latches",
                 "FirstQuery/Latches", static_cast<double>(BenchmarkData::ToggleCount), 0);
    table.AddRow("First query of 100,000 fresh toggles, with an observer",
                 "FirstQuery/ReleaseTogglesObserved", "without", "FirstQuery/ReleaseToggles",
                 static_cast<double>(BenchmarkData::ToggleCount), 0);
}

bool QueriesFinishWhileRegistryIsLocked() {
    FeatureToggle::ReleaseToggle toggle("Bench.Query.LockCheck", ToggleDefaultStatus::Enabled);
    BenchmarkClient::QueryRepeatedly(toggle, 1);
    BlockingEvaluator evaluator;
    const FeatureToggle::OnDemandEvaluatedToggle blocker(
        FeatureToggle::FileBasedToggleIdData(Zelk::String("Bench"), Zelk::String("Blocker")),
        ToggleDefaultStatus::Disabled, evaluator,
        FeatureToggle::OnDemandEvaluationOptions::EvaluateOnTriggerOnly);
    // The trigger reports the toggle queried above; that is expected.
    const FeatureToggle::ErrorReporter::ReportGuard reports;

    std::thread holder(
        [] { FeatureToggle::OnDemandEvaluatedToggleEvaluationTriggerer::EvaluateAllInstances(); });
    while (!evaluator.entered) {
        std::this_thread::yield();
    }
    std::atomic<bool> finished{false};
    std::thread client([&toggle, &finished] {
        BenchmarkClient::QueryRepeatedly(toggle, 1000000);
        finished = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!finished && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool finishedWhileLocked = finished;
    evaluator.released = true;
    client.join();
    holder.join();
    return finishedWhileLocked;
}

}  // namespace Benchmarks
