// Aids shared by the tests: capturing what the platform's log and report facility receive, a
// preference store that starts empty, temporary files and hostile ones for the readers. The
// scoped aids cannot be copied. Test files take the standard strings, vectors and paths from here.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "Fenlo.hpp"
#include "ZelkRoot.hpp"
#include "ZelkRoot/Testing.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace FeatureToggleTests {

struct Pinned {
    Pinned() = default;
    Pinned(const Pinned&) = delete;
    Pinned& operator=(const Pinned&) = delete;
};

// Collects the application log's entries while it lives; the default sink is back afterwards.
struct ScopedLogCapture : Pinned {
    ScopedLogCapture() {
        Zelk::logger.SetSink([this](const char* entry) { entries.emplace_back(entry); });
    }
    ~ScopedLogCapture() { Zelk::logger.SetSink(nullptr); }
    std::vector<std::string> entries;
};

// Collects what reaches BugRep_ReportError while it lives.
struct ScopedBugReportCapture : Pinned {
    ScopedBugReportCapture() {
        BugRep_SetHandler([this](const char* message, Zelk::UInt32 flag) {
            messages.emplace_back(message);
            flags.push_back(flag);
        });
    }
    ~ScopedBugReportCapture() { BugRep_SetHandler(nullptr); }
    std::vector<std::string> messages;
    std::vector<Zelk::UInt32> flags;
};

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TemporaryDirectory : Pinned {
public:
    TemporaryDirectory() {
        // Tests run in parallel, each in a process of its own: a random tag per process keeps their
        // folders apart.
        static const unsigned processTag = std::random_device()();
        static std::atomic<int> counter{0};
        path = std::filesystem::temp_directory_path() /
               ("featuretoggle-test-" + std::to_string(processTag) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path& GetPath() const { return path; }
    // Writes `content` to `name` in the folder and returns the file's path.
    std::filesystem::path WriteFile(const std::string& name, const std::string& content) const {
        const std::filesystem::path file = path / name;
        if (!(std::ofstream(file, std::ios::binary) << content)) {
            throw std::runtime_error("cannot write " + file.string());
        }
        return file;
    }
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
inline void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    // Wide, so that any text comes through; an empty value removes the variable.
    const std::wstring wideName = std::filesystem::path(name).wstring();
    const std::wstring wideValue = ZelkPaths::PathFromUtf8(value).wstring();
    ::_wputenv_s(wideName.c_str(), wideValue.c_str());
#else
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
#endif
}

// Paths as UTF-8 text, the form the platform's strings take, and back.
using ZelkPaths::PathFromUtf8;
using ZelkPaths::Utf8FromPath;

// Empties the preference store and its test settings now and at the end.
struct ScopedPreferences : Pinned {
    ScopedPreferences() { ZelkPref::Host::Reset(); }
    ~ScopedPreferences() { ZelkPref::Host::Reset(); }
};

// Runs `read`, expecting nothing on standard error: the host's output is its own.
inline void ReadQuietly(const std::function<void()>& read) {
    testing::internal::CaptureStderr();
    read();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

inline std::string Doctype(const std::string& root, const std::string& subset) {
    return "<!DOCTYPE " + root + " [" + subset + "]>";
}

// An internal subset whose entity `&lol9;` expands to 10^9 "lol"s.
inline std::string BillionLaughsSubset() {
    std::string subset = "<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        subset += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy) {
            subset += "&lol" + std::to_string(level - 1) + ";";
        }
        subset += "\">";
    }
    return subset;
}

// A DOCTYPE whose entities nest `depth` deep, each referring four times to the one below and then
// to an undeclared entity, with an external DTD so that each undeclared reference is an error the
// parser recovers from. HostileReference(depth) in an attribute value then makes libxml2 report an
// error per expansion: tens of millions at a depth of ten, from less than a kilobyte.
inline std::string HostileDoctype(const std::string& root, int depth) {
    std::string subset = "<!ENTITY e0 \"&u;&u;&u;&u;&u;&u;&u;&u;&u;&u;\">";
    for (int level = 1; level <= depth; ++level) {
        const std::string below = "&e" + std::to_string(level - 1) + ";";
        subset += "<!ENTITY e" + std::to_string(level) + " \"" + below + below + below + below + "&u;\">";
    }
    return "<!DOCTYPE " + root + " SYSTEM \"none.dtd\" [" + subset + "]>";
}
inline std::string HostileReference(int depth) {
    return "&e" + std::to_string(depth < 4 ? depth : 4) + ";&e" + std::to_string(depth) + ";";
}

}  // namespace FeatureToggleTests
