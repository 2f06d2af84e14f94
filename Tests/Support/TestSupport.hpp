// Aids shared by the tests: capturing what the platform's log and report facility receive,
// a preference store that starts empty, and temporary files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Fenlo.hpp"
#include "ZelkRoot.hpp"

namespace FeatureToggleTests {

// Collects the application log's entries while it lives; the default sink is back afterwards.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    const std::vector<std::string>& GetEntries() const { return entries; }

private:
    std::vector<std::string> entries;
};

// Collects what reaches BugRep_ReportError while it lives.
class ScopedBugReportCapture {
public:
    struct Report {
        std::string message;
        Zelk::UInt32 flags;
    };

    ScopedBugReportCapture();
    ~ScopedBugReportCapture();
    ScopedBugReportCapture(const ScopedBugReportCapture&) = delete;
    ScopedBugReportCapture& operator=(const ScopedBugReportCapture&) = delete;

    const std::vector<Report>& GetReports() const { return reports; }
    std::vector<std::string> GetMessages() const;

private:
    std::vector<Report> reports;
};

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& GetPath() const { return path; }
    // Writes `content` to `name` in the folder and returns the file's path.
    std::filesystem::path WriteFile(const std::string& name, const std::string& content) const;
    IO::Location GetLocation() const { return IO::Location(path); }
    IO::Location GetLocation(const std::string& name) const { return IO::Location(path / name); }

private:
    std::filesystem::path path;
};

// Makes special location 3 name `folder` while it lives.
class ScopedOverrideFolder {
public:
    explicit ScopedOverrideFolder(const std::filesystem::path& folder);
    ~ScopedOverrideFolder();
    ScopedOverrideFolder(const ScopedOverrideFolder&) = delete;
    ScopedOverrideFolder& operator=(const ScopedOverrideFolder&) = delete;
};

// Sets the environment variable `name` to the UTF-8 `value` (empty: removes it).
void SetEnvironment(const char* name, const std::string& value);

// A path as UTF-8 text, the form the platform's strings take.
std::string Utf8(const std::filesystem::path& path);

// Empties the preference store and its test settings now and at the end.
class ScopedPreferences {
public:
    ScopedPreferences();
    ~ScopedPreferences();
    ScopedPreferences(const ScopedPreferences&) = delete;
    ScopedPreferences& operator=(const ScopedPreferences&) = delete;
};

}  // namespace FeatureToggleTests
