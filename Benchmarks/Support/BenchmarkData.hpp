#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace Benchmarks {

// What the benchmarks share: toggle names and generated override files.
class BenchmarkData {
public:
    // The largest population of toggles a case makes.
    static constexpr std::size_t ToggleCount = 100000;

    // "Bench.Toggle.000123" for 123: names of the length client code gives its toggles.
    static std::string GetToggleName(std::size_t index);

    // A folder holding ReleaseToggleOverrides.xml with `entries` entries, made on first request:
    // entry i names toggle i * `stride`, with the status Enabled for even i and Disabled for odd.
    // It lives in a folder of this process that is removed at exit.
    static std::filesystem::path GetOverrideFolder(std::size_t entries, std::size_t stride);
};

}  // namespace Benchmarks
