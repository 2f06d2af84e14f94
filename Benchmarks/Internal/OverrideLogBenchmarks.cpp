// The override log, which the library does not export: this program links the static
// FeatureToggleInternal to reach it. Given --table-rows=PATH, it writes its table rows there for
// FeatureToggleBenchmarks; else it prints its own table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/Core/Internal/OverrideLog.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/AllocationCounter.hpp"
#include "Support/BenchmarkData.hpp"
#include "Support/ResultTable.hpp"
#include "ZelkRoot/Log.hpp"
#include "ZelkRoot/Strings.hpp"

namespace {

using Benchmarks::BenchmarkData;
using Benchmarks::RunCounted;
using FeatureToggle::ToggleStatus;

constexpr std::size_t FileEntries = 10000;
constexpr std::size_t FileStride = 10;

// An evaluator loaded with the file, and a live release toggle for each of its entries.
struct LoggedOverrides {
    FeatureToggle::FileBasedToggleStatusEvaluator evaluator{Zelk::String("Release")};
    std::vector<std::unique_ptr<FeatureToggle::ReleaseToggle>> toggles;

    LoggedOverrides() {
        const IO::Location file(BenchmarkData::GetOverrideFolder(FileEntries, FileStride) /
                                "ReleaseToggleOverrides.xml");
        if (evaluator.ReadFromXMLFileIfExists(file) != 0) {
            std::fprintf(stderr, "The override file did not load\n");
        }
        for (std::size_t i = 0; i < FileEntries; ++i) {
            toggles.push_back(std::make_unique<FeatureToggle::ReleaseToggle>(
                BenchmarkData::GetToggleName(i * FileStride).c_str(),
                FeatureToggle::ToggleDefaultStatus::Disabled));
        }
    }
};

void WriteOverrideLog(benchmark::State& state) {
    const LoggedOverrides overrides;
    std::size_t bytes = 0;
    Zelk::logger.SetSink([&bytes](const char* entry) { bytes += std::strlen(entry); });
    RunCounted(state,
               [&overrides] { FeatureToggle::WriteOverriddenToggleValuesToFastLog(overrides.evaluator); });
    Zelk::logger.SetSink({});
    benchmark::DoNotOptimize(bytes);
}

// The same lines from a std::vector of the entries and their toggles, formatted with snprintf.
void FormatLogFromVector(benchmark::State& state) {
    const LoggedOverrides overrides;
    struct Entry {
        std::string name;
        ToggleStatus status;
        std::vector<const FeatureToggle::Toggle*> toggles;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < FileEntries; ++i) {
        entries.push_back({BenchmarkData::GetToggleName(i * FileStride),
                           i % 2 == 0 ? ToggleStatus::Enabled : ToggleStatus::Disabled,
                           {overrides.toggles[i].get()}});
    }
    std::size_t bytes = 0;
    const std::function<void(const char*)> sink = [&bytes](const char* entry) {
        bytes += std::strlen(entry);
    };
    RunCounted(state, [&] {
        char line[256];
        std::snprintf(line, sizeof(line), "%zu ReleaseToggle statuses overridden by config file",
                      entries.size());
        sink(line);
        for (const Entry& entry : entries) {
            const int fileValue = entry.status == ToggleStatus::Enabled ? 1 : 0;
            const char* remark = "Unknown toggle";
            int verdict = 0;
            for (const FeatureToggle::Toggle* toggle : entry.toggles) {
                const int next =
                    static_cast<int>(FeatureToggle::ToggleAccessor::GetDefaultStatus(*toggle)) == fileValue
                        ? 1
                        : 2;
                verdict = verdict == 0 || verdict == next ? next : 3;
            }
            if (verdict != 0) {
                const char* const remarks[] = {"Same as default", "Differs from default",
                                               "Inconsistent default values"};
                remark = remarks[verdict - 1];
            }
            std::snprintf(line, sizeof(line), "\t[Release]  name=\"%s\" : %s (%s)", entry.name.c_str(),
                          fileValue == 1 ? "Enabled" : "Disabled", remark);
            sink(line);
        }
    });
    benchmark::DoNotOptimize(bytes);
}

}  // namespace

int main(int argc, char** argv) {
    const char* rowsPath = nullptr;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* RowsFlag = "--table-rows=";
        if (std::strncmp(argv[i], RowsFlag, std::strlen(RowsFlag)) == 0) {
            rowsPath = argv[i] + std::strlen(RowsFlag);
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());

    benchmark::RegisterBenchmark("OverrideLog/Library", WriteOverrideLog);
    benchmark::RegisterBenchmark("OverrideLog/Vector", FormatLogFromVector);
    Benchmarks::ResultTable table;
    table.AddRow("Override log, 10,000 entries", "OverrideLog/Library", "std::vector + snprintf",
                 "OverrideLog/Vector", static_cast<double>(FileEntries), 2);
    benchmark::RunSpecifiedBenchmarks(&table);

    const std::vector<Benchmarks::TableRow> rows = table.GetRows();
    if (rowsPath == nullptr) {
        Benchmarks::ResultTable::Print(rows, stdout);
    } else if (std::FILE* out = std::fopen(rowsPath, "w")) {
        Benchmarks::ResultTable::WriteRows(rows, out);
        std::fclose(out);
    } else {
        std::fprintf(stderr, "Cannot write %s\n", rowsPath);
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
