// Runs every case and its baseline, then prints them side by side in one table, with the machine
// they ran on. Arguments are Google Benchmark's (--benchmark_filter, --benchmark_repetitions, ...);
// they are passed on to FeatureToggleInternalBenchmarks too.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchmarkCases.hpp"

namespace {

using Benchmarks::ResultTable;
using Benchmarks::TableRow;

std::string ReadFirstLine(const char* path, const char* prefix) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return line.substr(line.find_first_not_of(" \t:", std::string(prefix).size()));
        }
    }
    return "unknown";
}

// Over 1, 5 and 15 minutes.
std::string ReadLoadAverages() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The override log's rows, measured by the program that can reach it.
std::vector<TableRow> RunInternalBenchmarks(const std::vector<std::string>& arguments) {
    char rowsPath[] = "/tmp/featuretoggle-bench-rows-XXXXXX";
    const int descriptor = ::mkstemp(rowsPath);
    if (descriptor == -1) {
        return {};
    }
    ::close(descriptor);
    std::string command = Quote(FEATURETOGGLE_INTERNAL_BENCHMARKS);
    for (const std::string& argument : arguments) {
        command.append(" ").append(Quote(argument));
    }
    command.append(" ").append(Quote(std::string("--table-rows=") + rowsPath));
    std::fflush(stdout);
    std::vector<TableRow> rows;
    if (std::system(command.c_str()) == 0) {
        if (std::FILE* in = std::fopen(rowsPath, "r")) {
            rows = ResultTable::ReadRows(in);
            std::fclose(in);
        }
    } else {
        std::fprintf(stderr, "FeatureToggleInternalBenchmarks failed\n");
    }
    std::remove(rowsPath);
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> forwarded;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--benchmark_", 0) == 0 && argument.rfind("--benchmark_out", 0) != 0) {
            forwarded.push_back(argument);
        }
    }
    // Other programs on the machine skew what is measured.
    const std::string loadAtStart = ReadLoadAverages();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    ResultTable table;
    Benchmarks::RegisterQueryBenchmarks(table);
    Benchmarks::RegisterRegistrationBenchmarks(table);
    Benchmarks::RegisterFileLoadBenchmarks(table);
    Benchmarks::RegisterReportBenchmarks(table);
    benchmark::RunSpecifiedBenchmarks(&table);

    std::vector<TableRow> rows = table.GetRows();
    for (TableRow& row : RunInternalBenchmarks(forwarded)) {
        rows.push_back(std::move(row));
    }
    const bool lockFree = Benchmarks::QueriesFinishWhileRegistryIsLocked();

    std::printf("\nFeatureToggle against baselines measured in the same run\n");
    std::printf("Machine: %s, %u cores; load average at the start: %s\n",
                ReadFirstLine("/proc/cpuinfo", "model name").c_str(), std::thread::hardware_concurrency(),
                loadAtStart.c_str());
    std::printf("Build: %s, compiler %s %s. Times are CPU time per operation; allocations per operation.\n\n",
                FEATURETOGGLE_BUILD_TYPE,
#if defined(__clang__)
                "clang",
#else
                "g++",
#endif
                __VERSION__);
    ResultTable::Print(rows, stdout);
    std::printf("\nQueries finish while another thread holds the registry's lock: %s\n",
                lockFree ? "yes (no lock per query)" : "NO");
    benchmark::Shutdown();
    return 0;
}
