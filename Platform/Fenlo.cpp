#include "Fenlo.hpp"

#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
// shellapi.h and shlobj.h need windows.h first.
#include <shellapi.h>
#include <shlobj.h>
#endif

#include "ZelkRoot/Environment.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace IO {

namespace {

constexpr int InvalidNameCode = -1;
constexpr int UnknownLocationCode = -2;
constexpr int FileSystemErrorCode = -3;
constexpr int NotUtf8Code = -4;

// The host's choice of folders. A function-local static, so that a static object of another
// library may set or read it while the libraries are still being loaded.
struct HostLocations {
    std::mutex mutex;
    Location overridesFolder;
};

HostLocations& GetHostLocations() {
    static HostLocations locations;
    return locations;
}

// The folder an environment variable names, if it is set and not empty.
std::filesystem::path GetEnvironmentFolder(const char* name) {
    const std::string text = Zelk::ReadEnvironmentText(name);
    return text.empty() ? std::filesystem::path() : ZelkPaths::PathFromUtf8(text);
}

// The per-user configuration folder of the platform, with "FeatureToggle" appended.
std::filesystem::path GetUserConfigurationFolder() {
#if defined(_WIN32)
    // %APPDATA%: the roaming application data known folder.
    PWSTR folder = nullptr;
    std::filesystem::path result;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
        result = std::filesystem::path(folder) / "FeatureToggle";
    }
    ::CoTaskMemFree(folder);
    return result;
#elif defined(__APPLE__)
    const std::filesystem::path home = GetEnvironmentFolder("HOME");
    return home.empty() ? home : home / "Library" / "Application Support" / "FeatureToggle";
#else
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (const std::filesystem::path config = GetEnvironmentFolder("XDG_CONFIG_HOME"); config.is_absolute()) {
        return config / "FeatureToggle";
    }
    const std::filesystem::path home = GetEnvironmentFolder("HOME");
    return home.empty() ? home : home / ".config" / "FeatureToggle";
#endif
}

std::filesystem::path GetDefaultOverridesFolder() {
    if (std::filesystem::path folder = GetEnvironmentFolder("FEATURETOGGLE_OVERRIDE_DIR"); !folder.empty()) {
        return folder;
    }
    return GetUserConfigurationFolder();
}

}  // namespace

Name::Name(const char* text) : text(text != nullptr ? text : "") {}

Location::Location(const char* path)
    : path(ZelkPaths::PathFromUtf8(path != nullptr ? path : "")),
      textIsUtf8(path == nullptr || ZelkPaths::IsUtf8(path)) {}

Location::Location(std::filesystem::path path) : path(std::move(path)) {}

int Location::AppendToLocal(const Name& name) {
    const std::string_view text = name.ToCStr();
    // Either separator on Windows, where both are.
    constexpr char separators[] = {'/', static_cast<char>(std::filesystem::path::preferred_separator), '\0'};
    if (text.empty() || text == "." || text == ".." ||
        text.find_first_of(separators) != std::string_view::npos || !ZelkPaths::IsUtf8(text)) {
        return InvalidNameCode;
    }
    path /= ZelkPaths::PathFromUtf8(text);
    return 0;
}

Zelk::UniString Location::ToDisplayText() const {
    // A folder named by the environment may be in another encoding than UTF-8.
    return Zelk::UniString(ZelkPaths::ToValidUtf8(ZelkPaths::Utf8FromPath(path)).c_str());
}

int FileSystem::GetSpecialLocation(int id, Location& location) const {
    if (id != ReleaseToggleOverridesFolder) {
        return UnknownLocationCode;
    }
    {
        HostLocations& host = GetHostLocations();
        const std::lock_guard<std::mutex> lock(host.mutex);
        if (!host.overridesFolder.IsEmpty()) {
            location = host.overridesFolder;
            return 0;
        }
    }
    std::filesystem::path folder = GetDefaultOverridesFolder();
    if (folder.empty()) {
        return UnknownLocationCode;
    }
    location = Location(std::move(folder));
    return 0;
}

int FileSystem::Contains(const Location& location, bool& exists) const {
    // Its path only resembles the text (on Windows, U+FFFD stands in for each faulty byte) and
    // could name some other file.
    if (!location.IsUtf8()) {
        return NotUtf8Code;
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(location.GetPath(), error);
    // A dangling link counts as nothing there: there is nothing to read through it.
    if (status.type() == std::filesystem::file_type::not_found) {
        exists = false;
        return 0;
    }
    if (error) {
        return error.value() != 0 ? error.value() : FileSystemErrorCode;
    }
    exists = true;
    return 0;
}

void FileSystem::SetSpecialLocation(int id, const Location& location) {
    if (id != ReleaseToggleOverridesFolder) {
        return;
    }
    HostLocations& host = GetHostLocations();
    const std::lock_guard<std::mutex> lock(host.mutex);
    host.overridesFolder = location;
}

FileSystem fileSystem;

std::vector<std::string> GetProgramArguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    if (LPWSTR* wideArguments = ::CommandLineToArgvW(::GetCommandLineW(), &count); wideArguments != nullptr) {
        std::vector<std::string> arguments;
        arguments.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            arguments.push_back(ZelkPaths::Utf8FromUtf16(wideArguments[i]));
        }
        ::LocalFree(wideArguments);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace IO
