// Triggering the evaluation of every live release toggle, against evaluating the same toggles
// from a std::vector; and the toggle report, against formatting the same rows with snprintf and
// sorting them.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchmarkCases.hpp"
#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Testing.hpp"
#include "Fenlo.hpp"
#include "Support/AllocationCounter.hpp"
#include "Support/BenchmarkData.hpp"
#include "ZelkRoot/Log.hpp"
#include "ZelkRoot/Strings.hpp"

namespace Benchmarks {

namespace {

// The release override file names every tenth toggle.
constexpr std::size_t FileEntries = 10000;
constexpr std::size_t FileStride = 10;

// Loads the release override file, once per process, with no toggle alive.
void LoadReleaseOverrides() {
    static const bool loaded = [] {
        IO::fileSystem.SetSpecialLocation(
            IO::ReleaseToggleOverridesFolder,
            IO::Location(BenchmarkData::GetOverrideFolder(FileEntries, FileStride)));
        // The benchmarks need the load's result, not its log.
        Zelk::logger.SetSink([](const char*) {});
        const FeatureToggle::ErrorReporter::ReportGuard reports;
        FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
        return reports.NumberOfCapturedReports() == 0;
    }();
    if (!loaded) {
        std::fprintf(stderr, "The release override file did not load cleanly\n");
    }
}

// Release toggles named BenchmarkData::GetToggleName(i * stride), made after the file was loaded.
class LiveToggles {
public:
    LiveToggles(std::size_t count, std::size_t stride) {
        LoadReleaseOverrides();
        for (std::size_t i = 0; i < count; ++i) {
            toggles.push_back(std::make_unique<FeatureToggle::ReleaseToggle>(
                BenchmarkData::GetToggleName(i * stride).c_str(),
                FeatureToggle::ToggleDefaultStatus::Disabled));
        }
    }

    const std::vector<std::unique_ptr<FeatureToggle::ReleaseToggle>>& Get() const { return toggles; }

private:
    std::vector<std::unique_ptr<FeatureToggle::ReleaseToggle>> toggles;
};

void EvaluateAllInstances(benchmark::State& state) {
    const LiveToggles live(BenchmarkData::ToggleCount, 1);
    RunCounted(state,
               [] { FeatureToggle::OnDemandEvaluatedToggleEvaluationTriggerer::EvaluateAllInstances(); });
}

void EvaluateEachFromVector(benchmark::State& state) {
    const LiveToggles live(BenchmarkData::ToggleCount, 1);
    std::vector<FeatureToggle::OnDemandEvaluatedToggle*> toggles;
    for (const auto& toggle : live.Get()) {
        toggles.push_back(toggle.get());
    }
    RunCounted(state, [&toggles] {
        for (FeatureToggle::OnDemandEvaluatedToggle* toggle : toggles) {
            FeatureToggle::OnDemandEvaluatedToggleEvaluationTriggerer::Evaluate(*toggle);
        }
    });
}

// Every toggle the file names, so every one is overridden and has a row; every other one queried.
class ReportedToggles : public LiveToggles {
public:
    ReportedToggles() : LiveToggles(FileEntries, FileStride) {
        for (std::size_t i = 0; i < Get().size(); i += 2) {
            FeatureToggle::IsToggleEnabled(*Get()[i]);
        }
    }
};

void DumpToggleInfo(benchmark::State& state) {
    const ReportedToggles live;
    std::size_t bytes = 0;
    RunCounted(state, [&bytes] {
        FeatureToggle::DumpToggleInfo([&bytes](const Zelk::UniString& line) { bytes += line.GetLength(); });
    });
    benchmark::DoNotOptimize(bytes);
}

void FormatAndSortRows(benchmark::State& state) {
    const ReportedToggles live;
    struct PlainToggle {
        std::string name;
        bool queried;
        const char* defaultStatus;
        const char* currentStatus;
    };
    std::vector<PlainToggle> toggles;
    for (std::size_t i = 0; i < live.Get().size(); ++i) {
        toggles.push_back({BenchmarkData::GetToggleName(i * FileStride), i % 2 == 0, "Disabled",
                           i % 2 == 0 ? "Enabled" : "Disabled"});
    }
    std::size_t bytes = 0;
    const std::function<void(const std::string&)> writeLine = [&bytes](const std::string& line) {
        bytes += line.size();
    };
    RunCounted(state, [&] {
        std::vector<std::pair<std::string, std::string>> rows;
        rows.reserve(toggles.size());
        for (const PlainToggle& toggle : toggles) {
            char display[128];
            char row[256];
            std::snprintf(display, sizeof(display), "[Release]  name=\"%s\"", toggle.name.c_str());
            std::snprintf(row, sizeof(row), "  %-65s%-9s%-9s%-9s", display, toggle.queried ? "Yes" : "No",
                          toggle.defaultStatus, toggle.currentStatus);
            std::string key(display);
            std::transform(key.begin(), key.end(), key.begin(), [](char c) {
                return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            });
            rows.emplace_back(std::move(key), row);
        }
        std::sort(rows.begin(), rows.end());
        for (const auto& row : rows) {
            writeLine(row.second);
        }
    });
    benchmark::DoNotOptimize(bytes);
}

}  // namespace

void RegisterReportBenchmarks(ResultTable& table) {
    benchmark::RegisterBenchmark("EvaluateAll/Registry", EvaluateAllInstances);
    benchmark::RegisterBenchmark("EvaluateAll/Vector", EvaluateEachFromVector);
    benchmark::RegisterBenchmark("Report/DumpToggleInfo", DumpToggleInfo);
    benchmark::RegisterBenchmark("Report/SnprintfAndSort", FormatAndSortRows);

    table.AddRow("EvaluateAllInstances, 100,000 toggles", "EvaluateAll/Registry", "std::vector walk",
                 "EvaluateAll/Vector", static_cast<double>(BenchmarkData::ToggleCount), 2);
    table.AddRow("DumpToggleInfo, 10,000 toggles", "Report/DumpToggleInfo", "snprintf + sort",
                 "Report/SnprintfAndSort", static_cast<double>(FileEntries), 3);
}

}  // namespace Benchmarks
