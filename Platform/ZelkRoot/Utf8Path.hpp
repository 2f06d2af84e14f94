// Not installed: shared by the platform libraries, the tests and the example host.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ZelkPaths {

// Paths travel as UTF-8 text in the platform's strings and names, and take the operating system's
// own form (UTF-16 on Windows) only at the call that reaches the file system.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace ZelkPaths
