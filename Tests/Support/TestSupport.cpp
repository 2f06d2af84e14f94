#include "Support/TestSupport.hpp"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "ZelkRootTesting.hpp"

namespace FeatureToggleTests {

TemporaryDirectory::TemporaryDirectory() {
    // Tests run in parallel, each in a process of its own: a random tag per process keeps their
    // folders apart.
    static const unsigned processTag = std::random_device()();
    static std::atomic<int> counter{0};
    path = std::filesystem::temp_directory_path() /
           ("featuretoggle-test-" + std::to_string(processTag) + "-" + std::to_string(counter++));
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

void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    // Wide, so that any text comes through; an empty value removes the variable.
    const std::wstring wideName = std::filesystem::path(name).wstring();
    const std::wstring wideValue = std::filesystem::path(std::u8string(value.begin(), value.end())).wstring();
    ::_wputenv_s(wideName.c_str(), wideValue.c_str());
#else
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
#endif
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

ScopedPreferences::ScopedPreferences() {
    ZelkPref::Host::Reset();
}

ScopedPreferences::~ScopedPreferences() {
    ZelkPref::Host::Reset();
}

}  // namespace FeatureToggleTests
