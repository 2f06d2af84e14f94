// The cases of FeatureToggleBenchmarks. Each Register function registers its benchmarks with
// Google Benchmark and their rows with the table, in the order the table shows them.
#pragma once

#include "Support/ResultTable.hpp"

namespace Benchmarks {

void RegisterQueryBenchmarks(ResultTable& table);
void RegisterRegistrationBenchmarks(ResultTable& table);
void RegisterFileLoadBenchmarks(ResultTable& table);
void RegisterReportBenchmarks(ResultTable& table);

// Whether a client's queries finish while another thread holds the registry's lock, which is
// the library's only lock: if a query took it, they could not.
bool QueriesFinishWhileRegistryIsLocked();

}  // namespace Benchmarks
