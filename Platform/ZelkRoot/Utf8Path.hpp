// Not installed: shared by the platform libraries, the tests and the example host.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <type_traits>

namespace ZelkPaths {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Decodes the code point at `text[at]` and moves `at` past it. An ill-formed sequence (a stray or
// missing continuation byte, an overlong form, a surrogate, a value past U+10FFFF) gives false
// and moves `at` one byte on.
inline bool DecodeUtf8(std::string_view text, std::size_t& at, char32_t& codePoint) noexcept {
    const auto byteAt = [text](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byteAt(at);
    std::size_t length = 1;
    char32_t value = lead;
    char32_t smallest = 0;
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07U;
        smallest = 0x10000;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0FU;
        smallest = 0x800;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1FU;
        smallest = 0x80;
    } else if (lead >= 0x80) {
        ++at;
        return false;
    }
    if (text.size() - at < length) {
        ++at;
        return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byteAt(at + i) & 0xC0U) != 0x80U) {
            ++at;
            return false;
        }
        value = (value << 6) | (byteAt(at + i) & 0x3FU);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++at;
        return false;
    }
    at += length;
    codePoint = value;
    return true;
}

inline bool IsUtf8(std::string_view text) noexcept {
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (!DecodeUtf8(text, at, codePoint)) {
            return false;
        }
    }
    return true;
}

inline void AppendUtf8(std::string& text, char32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
        return;
    }
    const std::size_t length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    constexpr unsigned char leads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    char bytes[4] = {};
    for (std::size_t i = length - 1; i > 0; --i) {
        bytes[i] = static_cast<char>(0x80U | (codePoint & 0x3FU));
        codePoint >>= 6;
    }
    bytes[0] = static_cast<char>(leads[length] | codePoint);
    text.append(bytes, length);
}

// `text` with every byte that is not part of well-formed UTF-8 replaced by U+FFFD: fit to show.
inline std::string ToValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        AppendUtf8(result, DecodeUtf8(text, at, codePoint) ? codePoint : ReplacementCharacter);
    }
    return result;
}

// Windows' wide text: UTF-16, where a lone surrogate becomes U+FFFD.
inline std::string Utf8FromUtf16(std::wstring_view text) {
    static_assert(sizeof(wchar_t) == 2 || sizeof(wchar_t) == 4);
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        auto codePoint = static_cast<char32_t>(text[at]);
        if (sizeof(wchar_t) == 2 && codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            const auto low = at + 1 < text.size() ? static_cast<char32_t>(text[at + 1]) : char32_t{0};
            if (codePoint <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
                ++at;
            } else {
                codePoint = ReplacementCharacter;
            }
        }
        AppendUtf8(result, codePoint);
    }
    return result;
}

inline std::wstring Utf16FromUtf8(std::string_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = ReplacementCharacter;
        static_cast<void>(DecodeUtf8(text, at, codePoint));
        if (sizeof(wchar_t) == 2 && codePoint >= 0x10000) {
            codePoint -= 0x10000;
            result += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
            result += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FFU));
        } else {
            result += static_cast<wchar_t>(codePoint);
        }
    }
    return result;
}

// Paths travel as UTF-8 text in the platform's strings and names, and take the operating system's
// own form (UTF-16 on Windows) only at the call that reaches the file system. Neither conversion
// throws: where the system's form is UTF-16, text that is not UTF-8 has its faulty bytes replaced
// by U+FFFD, so whoever needs the exact file first checks the text with IsUtf8.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
        return std::filesystem::path(Utf16FromUtf8(text));
    } else {
        return std::filesystem::path(std::string(text));
    }
}

inline std::string Utf8FromNative(const std::string& text) {
    return text;
}

inline std::string Utf8FromNative(const std::wstring& text) {
    return Utf8FromUtf16(text);
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    return Utf8FromNative(path.native());
}

}  // namespace ZelkPaths
