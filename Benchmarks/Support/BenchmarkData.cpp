#include "Support/BenchmarkData.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace Benchmarks {

namespace {

// A folder of this process under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "featuretoggle-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder in " + pattern);
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& GetPath() const { return path; }

private:
    std::filesystem::path path;
};

}  // namespace

std::string BenchmarkData::GetToggleName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof(name), "Bench.Toggle.%06zu", index);
    return name;
}

std::filesystem::path BenchmarkData::GetOverrideFolder(std::size_t entries, std::size_t stride) {
    static const ScratchFolder scratch;
    const std::filesystem::path folder =
        scratch.GetPath() / ("overrides-" + std::to_string(entries) + "-" + std::to_string(stride));
    if (std::filesystem::exists(folder)) {
        return folder;
    }
    std::filesystem::create_directory(folder);
    std::ofstream file(folder / "ReleaseToggleOverrides.xml");
    file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ReleaseToggleOverrides>\n";
    for (std::size_t i = 0; i < entries; ++i) {
        file << "    <OverriddenValue toggleName=\"" << GetToggleName(i * stride) << "\" status=\""
             << (i % 2 == 0 ? "Enabled" : "Disabled") << "\"/>\n";
    }
    file << "</ReleaseToggleOverrides>\n";
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + (folder / "ReleaseToggleOverrides.xml").string());
    }
    return folder;
}

}  // namespace Benchmarks
