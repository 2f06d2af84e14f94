// Loading an override file into an evaluator, against libxml2's streaming reader walking the same
// file and reading both attributes of every element.
#include <libxml/xmlreader.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "BenchmarkCases.hpp"
#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "Support/AllocationCounter.hpp"
#include "Support/BenchmarkData.hpp"
#include "ZelkRoot/QuietGenericErrors.hpp"
#include "ZelkRoot/Strings.hpp"

namespace Benchmarks {

namespace {

constexpr std::size_t EntryCounts[] = {1000, 10000, 100000};

std::filesystem::path GetFile(std::size_t entries) {
    return BenchmarkData::GetOverrideFolder(entries, 1) / "ReleaseToggleOverrides.xml";
}

void RecordAllocations(benchmark::State& state, std::uint64_t allocations) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void LoadFile(benchmark::State& state, std::size_t entries) {
    const IO::Location location(GetFile(entries));
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        // A fresh evaluator each time, since an evaluator loads once; making and freeing it is not timed.
        state.PauseTiming();
        std::optional<FeatureToggle::FileBasedToggleStatusEvaluator> evaluator(std::in_place,
                                                                               Zelk::String("Release"));
        state.ResumeTiming();

        const std::uint64_t before = AllocationCounter::ThreadAllocations();
        const int result = evaluator->ReadFromXMLFileIfExists(location);
        allocations += AllocationCounter::ThreadAllocations() - before;

        state.PauseTiming();
        if (result != 0) {
            state.SkipWithError("the override file did not load");
        }
        evaluator.reset();
        state.ResumeTiming();
    }
    RecordAllocations(state, allocations);
}

void WalkFile(benchmark::State& state, std::size_t entries) {
    const std::string path = GetFile(entries).string();
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const std::uint64_t before = AllocationCounter::ThreadAllocations();
        xmlTextReaderPtr reader = xmlReaderForFile(path.c_str(), nullptr, ZelkLibXml::ParserOptions);
        std::size_t read = 0;
        while (xmlTextReaderRead(reader) == 1) {
            if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) {
                continue;
            }
            xmlChar* const name = xmlTextReaderGetAttribute(reader, BAD_CAST "toggleName");
            xmlChar* const status = xmlTextReaderGetAttribute(reader, BAD_CAST "status");
            read += name != nullptr && status != nullptr ? 1 : 0;
            xmlFree(name);
            xmlFree(status);
        }
        xmlFreeTextReader(reader);
        allocations += AllocationCounter::ThreadAllocations() - before;
        if (read != entries) {
            state.SkipWithError("the walk missed entries");
        }
    }
    RecordAllocations(state, allocations);
}

std::string LoadName(const char* side, std::size_t entries) {
    return "Load/" + std::string(side) + "/" + std::to_string(entries);
}

}  // namespace

void RegisterFileLoadBenchmarks(ResultTable& table) {
    for (const std::size_t entries : EntryCounts) {
        benchmark::RegisterBenchmark(LoadName("Evaluator", entries).c_str(), LoadFile, entries);
        benchmark::RegisterBenchmark(LoadName("Libxml2Reader", entries).c_str(), WalkFile, entries);
    }
    for (const std::size_t entries : EntryCounts) {
        char title[64];
        std::snprintf(title, sizeof(title), "Override file load, %zu entries", entries);
        // Time per MB of file, and linear time: a constant time per entry.
        const ResultTable::Note growth = [entries](const ResultTable& results) {
            const auto perEntry = [&results](const char* side, std::size_t count) {
                return results.GetNanoseconds(LoadName(side, count)) / static_cast<double>(count);
            };
            const double megabytes = static_cast<double>(std::filesystem::file_size(GetFile(entries))) / 1e6;
            const auto millisecondsPerMegabyte = [&](const char* side) {
                return perEntry(side, entries) * static_cast<double>(entries) / 1e6 / megabytes;
            };
            char note[160];
            int length =
                std::snprintf(note, sizeof(note), "%.1f ms/MB (baseline %.1f)",
                              millisecondsPerMegabyte("Evaluator"), millisecondsPerMegabyte("Libxml2Reader"));
            if (entries != EntryCounts[0] && length > 0) {
                std::snprintf(note + length, sizeof(note) - static_cast<std::size_t>(length),
                              "; per entry x%.2f of 1,000's (baseline x%.2f)",
                              perEntry("Evaluator", entries) / perEntry("Evaluator", EntryCounts[0]),
                              perEntry("Libxml2Reader", entries) / perEntry("Libxml2Reader", EntryCounts[0]));
            }
            return std::string(note);
        };
        table.AddRow(title, LoadName("Evaluator", entries), "libxml2 reader",
                     LoadName("Libxml2Reader", entries), static_cast<double>(entries), 1.5, growth);
    }
}

}  // namespace Benchmarks
