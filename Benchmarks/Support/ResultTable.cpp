#include "Support/ResultTable.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <unistd.h>

namespace Benchmarks {

namespace {

double Median(std::vector<double> values) {
    if (values.empty()) {
        return TableRow::None;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string FormatTime(double nanoseconds) {
    if (std::isnan(nanoseconds)) {
        return "-";
    }
    if (nanoseconds < 10) {
        return Format("%.2f ns", nanoseconds);
    }
    if (nanoseconds < 1000) {
        return Format("%.1f ns", nanoseconds);
    }
    if (nanoseconds < 1e6) {
        return Format("%.2f us", nanoseconds / 1e3);
    }
    return Format("%.2f ms", nanoseconds / 1e6);
}

std::string FormatCount(double count) {
    if (std::isnan(count)) {
        return "-";
    }
    // Counts per operation are whole numbers unless something is amortised.
    return std::fabs(count - std::round(count)) < 0.005 ? Format("%.0f", count) : Format("%.2f", count);
}

}  // namespace

ResultTable::ResultTable() : ConsoleReporter(::isatty(STDOUT_FILENO) == 1 ? OO_ColorTabular : OO_Tabular) {}

void ResultTable::AddRow(std::string title, std::string library, std::string baselineTitle,
                         std::string baseline, double operations, double maxRatio, Note note) {
    PendingRow pending;
    pending.row.title = std::move(title);
    pending.row.baseline = std::move(baselineTitle);
    pending.row.maxRatio = maxRatio;
    pending.library = std::move(library);
    pending.baseline = std::move(baseline);
    pending.operations = operations;
    pending.note = std::move(note);
    rows.push_back(std::move(pending));
}

void ResultTable::AddPeer(std::string peer, double maxRatio) {
    rows.back().peer = std::move(peer);
    rows.back().row.maxPeerRatio = maxRatio;
}

void ResultTable::AddRow(TableRow row) {
    PendingRow measured;
    measured.row = std::move(row);
    rows.push_back(std::move(measured));
}

void ResultTable::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
            continue;
        }
        // For a run on several threads, both sums cover every thread: this is time per thread.
        Measurements& measured = measurements[run.run_name.function_name];
        measured.nanoseconds.push_back(run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations));
        for (const auto& [name, counter] : run.counters) {
            measured.counters[name].push_back(counter.value);
        }
    }
}

double ResultTable::GetNanoseconds(const std::string& benchmark) const {
    const auto found = measurements.find(benchmark);
    return found == measurements.end() ? TableRow::None : Median(found->second.nanoseconds);
}

double ResultTable::GetCounter(const std::string& benchmark, const std::string& counter) const {
    const auto found = measurements.find(benchmark);
    if (found == measurements.end()) {
        return TableRow::None;
    }
    const auto values = found->second.counters.find(counter);
    return values == found->second.counters.end() ? TableRow::None : Median(values->second);
}

std::vector<TableRow> ResultTable::GetRows() const {
    std::vector<TableRow> result;
    for (const PendingRow& pending : rows) {
        TableRow row = pending.row;
        if (!pending.library.empty()) {
            row.nanoseconds = GetNanoseconds(pending.library) / pending.operations;
            row.allocations = GetCounter(pending.library, "allocs") / pending.operations;
            if (!pending.baseline.empty()) {
                row.baselineNanoseconds = GetNanoseconds(pending.baseline) / pending.operations;
                row.baselineAllocations = GetCounter(pending.baseline, "allocs") / pending.operations;
            }
            if (!pending.peer.empty()) {
                row.peerNanoseconds = GetNanoseconds(pending.peer) / pending.operations;
            }
            if (pending.note) {
                row.note = pending.note(*this);
            }
        }
        if (!std::isnan(row.nanoseconds)) {
            result.push_back(std::move(row));
        }
    }
    return result;
}

void ResultTable::Print(const std::vector<TableRow>& rows, std::FILE* out) {
    std::vector<std::vector<std::string>> cells = {{"Case", "Time/op", "Baseline", "Time/op", "Ratio",
                                                    "Target", "Met", "Replica ratio", "Allocs/op", "Note"}};
    for (const TableRow& row : rows) {
        const double ratio = row.nanoseconds / row.baselineNanoseconds;
        const bool hasTarget = row.maxRatio > 0 && !std::isnan(ratio);
        const double peerRatio = row.nanoseconds / row.peerNanoseconds;
        std::string peerCell = "-";
        if (!std::isnan(peerRatio)) {
            peerCell = Format("%.2f", peerRatio);
            if (row.maxPeerRatio > 0) {
                peerCell +=
                    Format(" <= %.2f ", row.maxPeerRatio) + (peerRatio <= row.maxPeerRatio ? "yes" : "NO");
            }
        }
        const bool hasAllocations = !std::isnan(row.allocations) || !std::isnan(row.baselineAllocations);
        cells.push_back({
            row.title,
            FormatTime(row.nanoseconds),
            row.baseline.empty() ? "-" : row.baseline,
            FormatTime(row.baselineNanoseconds),
            std::isnan(ratio) ? "-" : Format("%.2f", ratio),
            row.maxRatio > 0 ? Format("<= %.2f", row.maxRatio) : "-",
            hasTarget ? (ratio <= row.maxRatio ? "yes" : "NO") : "-",
            peerCell,
            hasAllocations ? FormatCount(row.allocations) + " / " + FormatCount(row.baselineAllocations)
                           : "-",
            row.note,
        });
    }
    std::vector<std::size_t> widths(cells.front().size(), 0);
    for (const auto& line : cells) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], line[column].size());
        }
    }
    // Text columns to the left, numbers to the right.
    const bool leftAligned[] = {true, false, true, false, false, false, true, false, false, true};
    for (std::size_t line = 0; line < cells.size(); ++line) {
        std::string text;
        for (std::size_t column = 0; column < widths.size(); ++column) {
            const std::string& cell = cells[line][column];
            const std::string padding(widths[column] - cell.size(), ' ');
            text += leftAligned[column] ? cell + padding : padding + cell;
            text += column + 1 < widths.size() ? "  " : "";
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        std::fprintf(out, "%s\n", text.c_str());
        if (line == 0) {
            std::size_t total = 0;
            for (const std::size_t width : widths) {
                total += width + 2;
            }
            std::fprintf(out, "%s\n", std::string(total - 2, '-').c_str());
        }
    }
}

void ResultTable::WriteRows(const std::vector<TableRow>& rows, std::FILE* out) {
    for (const TableRow& row : rows) {
        std::fprintf(out, "%s\t%s\t%.17g\t%.17g\t%.17g\t%.17g\t%.17g\t%s\n", row.title.c_str(),
                     row.baseline.c_str(), row.nanoseconds, row.baselineNanoseconds, row.maxRatio,
                     row.allocations, row.baselineAllocations, row.note.c_str());
    }
}

std::vector<TableRow> ResultTable::ReadRows(std::FILE* in) {
    std::vector<TableRow> rows;
    char buffer[4096];
    while (std::fgets(buffer, sizeof(buffer), in) != nullptr) {
        std::vector<std::string> fields;
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        std::size_t from = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos) {
                break;
            }
            from = tab + 1;
        }
        if (fields.size() != 8) {
            continue;
        }
        TableRow row;
        row.title = fields[0];
        row.baseline = fields[1];
        row.nanoseconds = std::strtod(fields[2].c_str(), nullptr);
        row.baselineNanoseconds = std::strtod(fields[3].c_str(), nullptr);
        row.maxRatio = std::strtod(fields[4].c_str(), nullptr);
        row.allocations = std::strtod(fields[5].c_str(), nullptr);
        row.baselineAllocations = std::strtod(fields[6].c_str(), nullptr);
        row.note = fields[7];
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace Benchmarks
