// Aids shared by the tests: capturing what the platform's log and report facility receive,
// a preference store that starts empty, and temporary files. None of them can be copied.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Fenlo.hpp"
#include "ZelkRoot.hpp"

namespace FeatureToggleTests {

struct Pinned {
    Pinned() = default;
    Pinned(const Pinned&) = delete;
    Pinned& operator=(const Pinned&) = delete;
};

// Collects the application log's entries while it lives; the default sink is back afterwards.
class ScopedLogCapture : Pinned {
public:
    ScopedLogCapture() {
        Zelk::logger.SetSink([this](const char* entry) { entries.emplace_back(entry); });
    }
    ~ScopedLogCapture() { Zelk::logger.SetSink(nullptr); }
    const std::vector<std::string>& GetEntries() const { return entries; }

private:
    std::vector<std::string> entries;
};

// Collects what reaches BugRep_ReportError while it lives.
class ScopedBugReportCapture : Pinned {
public:
    struct Report {
        std::string message;
        Zelk::UInt32 flags;
    };

    ScopedBugReportCapture() {
        BugRep_SetHandler([this](const char* message, Zelk::UInt32 flags) {
            reports.push_back({message, flags});
        });
    }
    ~ScopedBugReportCapture() { BugRep_SetHandler(nullptr); }
    const std::vector<Report>& GetReports() const { return reports; }
    std::vector<std::string> GetMessages() const {
        std::vector<std::string> messages;
        for (const Report& report : reports) {
            messages.push_back(report.message);
        }
        return messages;
    }

private:
    std::vector<Report> reports;
};

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TemporaryDirectory : Pinned {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    const std::filesystem::path& GetPath() const { return path; }
    // Writes `content` to `name` in the folder and returns the file's path.
    std::filesystem::path WriteFile(const std::string& name, const std::string& content) const;
    IO::Location GetLocation(const std::string& name) const { return IO::Location(path / name); }

private:
    std::filesystem::path path;
};

// Makes special location 3 name `folder` while it lives.
struct ScopedOverrideFolder : Pinned {
    explicit ScopedOverrideFolder(const std::filesystem::path& folder) {
        IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location(folder));
    }
    ~ScopedOverrideFolder() {
        IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location());
    }
};

// Sets the environment variable `name` to the UTF-8 `value` (empty: removes it).
void SetEnvironment(const char* name, const std::string& value);

// A path as UTF-8 text, the form the platform's strings take.
std::string Utf8(const std::filesystem::path& path);

// Empties the preference store and its test settings now and at the end.
struct ScopedPreferences : Pinned {
    ScopedPreferences();
    ~ScopedPreferences();
};

}  // namespace FeatureToggleTests
