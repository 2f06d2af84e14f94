#include "Fenlo.hpp"

#include <cstdlib>
#include <mutex>
#include <string_view>
#include <system_error>

namespace IO {

namespace {

constexpr int InvalidNameCode = -1;
constexpr int UnknownLocationCode = -2;
constexpr int FileSystemErrorCode = -3;

// The host's choice of folders. A function-local static, so that a static object of another
// library may set or read it while the libraries are still being loaded.
struct HostLocations {
    std::mutex mutex;
    std::filesystem::path overridesFolder;
};

HostLocations& GetHostLocations() {
    static HostLocations locations;
    return locations;
}

// A variable that is set and not empty, else null.
const char* GetEnvironmentText(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? text : nullptr;
}

std::filesystem::path GetDefaultOverridesFolder() {
    if (const char* folder = GetEnvironmentText("FEATURETOGGLE_OVERRIDE_DIR")) {
        return folder;
    }
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (const char* config = GetEnvironmentText("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::filesystem::path(config) / "FeatureToggle";
    }
    if (const char* home = GetEnvironmentText("HOME")) {
        return std::filesystem::path(home) / ".config" / "FeatureToggle";
    }
    return {};
}

}  // namespace

Name::Name(const char* text) : text(text != nullptr ? text : "") {}

Location::Location(const char* path) : path(path != nullptr ? path : "") {}

Location::Location(std::filesystem::path path) : path(std::move(path)) {}

int Location::AppendToLocal(const Name& name) {
    const std::string_view text = name.ToCStr();
    if (text.empty() || text == "." || text == ".." || text.find('/') != std::string_view::npos) {
        return InvalidNameCode;
    }
    path /= text;
    return 0;
}

Zelk::UniString Location::ToDisplayText() const {
    const std::u8string text = path.u8string();
    return Zelk::UniString(reinterpret_cast<const char*>(text.c_str()));
}

int FileSystem::GetSpecialLocation(int id, Location& location) const {
    if (id != ReleaseToggleOverridesFolder) {
        return UnknownLocationCode;
    }
    std::filesystem::path folder;
    {
        HostLocations& host = GetHostLocations();
        const std::lock_guard<std::mutex> lock(host.mutex);
        folder = host.overridesFolder;
    }
    if (folder.empty()) {
        folder = GetDefaultOverridesFolder();
    }
    if (folder.empty()) {
        return UnknownLocationCode;
    }
    location = Location(std::move(folder));
    return 0;
}

int FileSystem::Contains(const Location& location, bool& exists) const {
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
    host.overridesFolder = location.GetPath();
}

FileSystem fileSystem;

}  // namespace IO
