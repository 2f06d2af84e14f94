// Fenlo: file and folder locations, and the file system service.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Fenlo/FenloExport.hpp"
#include "ZelkRoot/Strings.hpp"

namespace IO {

// One path element, UTF-8.
class FENLO_EXPORT Name {
public:
    Name(const char* text);

    const char* ToCStr() const noexcept { return text.c_str(); }

private:
    std::string text;
};

// A file or folder location; empty when default-constructed.
class FENLO_EXPORT Location {
public:
    Location() = default;
    // `path` is UTF-8. Text that is not makes a location that names no file: the file system
    // answers every question about it with an error.
    explicit Location(const char* path);
    explicit Location(std::filesystem::path path);

    bool IsEmpty() const noexcept { return path.empty(); }
    // False for a location made from text that is not UTF-8.
    bool IsUtf8() const noexcept { return textIsUtf8; }
    // Appends `name` as the last path element: 0, or non-zero for an empty name, one that is not
    // a single path element (it holds a separator, or is "." or "..") or one that is not UTF-8.
    int AppendToLocal(const Name& name);
    // The location as people read it.
    Zelk::UniString ToDisplayText() const;
    // The location as the operating system takes it.
    const std::filesystem::path& GetPath() const noexcept { return path; }

    friend bool operator==(const Location& left, const Location& right) {
        return left.path == right.path && left.textIsUtf8 == right.textIsUtf8;
    }

private:
    std::filesystem::path path;
    bool textIsUtf8 = true;
};

enum SpecialLocationId : int {
    // The folder that holds the release toggle override file.
    ReleaseToggleOverridesFolder = 3,
};

class FENLO_EXPORT FileSystem {
public:
    // Fills `location` with the folder the identifier names: 0, or non-zero for an identifier
    // that names no folder (`location` is then left alone).
    //
    // Special location 3 is, in order of precedence: the folder the host set with
    // SetSpecialLocation; the folder named by the environment variable
    // FEATURETOGGLE_OVERRIDE_DIR; "FeatureToggle" in the user's configuration folder:
    // %APPDATA% (the roaming application data folder) on Windows, ~/Library/Application Support
    // on macOS, $XDG_CONFIG_HOME, else ~/.config, elsewhere.
    int GetSpecialLocation(int id, Location& location) const;
    // Sets `exists` to whether something (a file or a folder) is at the location: 0, or
    // non-zero when the file system cannot tell (a permission error, a link loop, a location made
    // from text that is not UTF-8).
    int Contains(const Location& location, bool& exists) const;

    // Host: makes special location `id` name `location`; an empty location undoes it.
    void SetSpecialLocation(int id, const Location& location);
};

extern FENLO_EXPORT FileSystem fileSystem;

// The program's arguments, `argv[0]` included, as UTF-8. On Windows they are read again from the
// UTF-16 command line: `argv` holds them in the ANSI code page, which loses every character
// outside it. Elsewhere they are `argv` as it is.
FENLO_EXPORT std::vector<std::string> GetProgramArguments(int argc, char** argv);

}  // namespace IO
