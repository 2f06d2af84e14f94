#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace Benchmarks {

// One line of the table; times and allocations are per operation.
struct TableRow {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();

    std::string title;
    std::string baseline;  // what the baseline does, in a few words
    double nanoseconds = None;
    double baselineNanoseconds = None;
    double maxRatio = 0;  // the target; 0 when there is none
    double allocations = None;
    double baselineAllocations = None;
    std::string note;
    // A second baseline, a peer's, that the query cases are also held against.
    double peerNanoseconds = None;
    double maxPeerRatio = 0;
};

// Prints what Google Benchmark's console reporter prints, and keeps each run so that the cases
// can be set next to their baselines in one table at the end.
//
// Times are CPU time of the measuring thread: several programs share this machine, and a thread
// that is descheduled does not count it. With repetitions, each value is the median.
class ResultTable : public benchmark::ConsoleReporter {
public:
    using Note = std::function<std::string(const ResultTable&)>;

    // Coloured only on a terminal, as Google Benchmark's own reporter by default.
    ResultTable();

    // A row of benchmark `library` against benchmark `baseline`, each of whose iterations makes
    // `operations` operations. A benchmark that counts allocations sets the counter "allocs" per
    // iteration (benchmark::Counter::kAvgIterations).
    void AddRow(std::string title, std::string library, std::string baselineTitle, std::string baseline,
                double operations, double maxRatio, Note note = {});
    // Holds the row added last against benchmark `peer` as well, which makes as many operations.
    void AddPeer(std::string peer, double maxRatio);
    // A row measured by another program.
    void AddRow(TableRow row);

    void ReportRuns(const std::vector<Run>& runs) override;

    // Per iteration, of the runs of the benchmark; None if it did not run.
    double GetNanoseconds(const std::string& benchmark) const;
    double GetCounter(const std::string& benchmark, const std::string& counter) const;

    // The rows whose library benchmark ran, in the order they were added.
    std::vector<TableRow> GetRows() const;

    static void Print(const std::vector<TableRow>& rows, std::FILE* out);
    // One row per line, its fields separated by tabs.
    static void WriteRows(const std::vector<TableRow>& rows, std::FILE* out);
    static std::vector<TableRow> ReadRows(std::FILE* in);

private:
    struct PendingRow {
        TableRow row;
        std::string library;
        std::string baseline;
        double operations = 1;
        Note note;
        std::string peer;
    };
    struct Measurements {
        std::vector<double> nanoseconds;
        std::map<std::string, std::vector<double>> counters;
    };

    std::vector<PendingRow> rows;
    std::map<std::string, Measurements> measurements;
};

}  // namespace Benchmarks
