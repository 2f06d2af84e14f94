#include "Support/TestSupport.hpp"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "ZelkRootTesting.hpp"

namespace FeatureToggleTests {

ScopedLogCapture::ScopedLogCapture() {
    Zelk::logger.SetSink([this](const char* entry) { entries.emplace_back(entry); });
}

ScopedLogCapture::~ScopedLogCapture() {
    Zelk::logger.SetSink(nullptr);
}

ScopedBugReportCapture::ScopedBugReportCapture() {
    BugRep_SetHandler([this](const char* message, Zelk::UInt32 flags) {
        reports.push_back({message, flags});
    });
}

ScopedBugReportCapture::~ScopedBugReportCapture() {
    BugRep_SetHandler(nullptr);
}

std::vector<std::string> ScopedBugReportCapture::GetMessages() const {
    std::vector<std::string> messages;
    for (const Report& report : reports) {
        messages.push_back(report.message);
    }
    return messages;
}

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

ScopedOverrideFolder::ScopedOverrideFolder(const std::filesystem::path& folder) {
    IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location(folder));
}

ScopedOverrideFolder::~ScopedOverrideFolder() {
    IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location());
}

ScopedPreferences::ScopedPreferences() {
    ZelkPref::Host::Reset();
}

ScopedPreferences::~ScopedPreferences() {
    ZelkPref::Host::Reset();
}

}  // namespace FeatureToggleTests
