#include "Support/TestSupport.hpp"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace FeatureToggleTests {

TemporaryDirectory::TemporaryDirectory() {
    static std::atomic<int> counter{0};
    path = std::filesystem::temp_directory_path() /
           ("featuretoggle-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::filesystem::path TemporaryDirectory::WriteFile(const std::string& name,
                                                    const std::string& content) const {
    const std::filesystem::path file = path / name;
    std::ofstream stream(file, std::ios::binary);
    stream << content;
    if (!stream) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file;
}

}  // namespace FeatureToggleTests
