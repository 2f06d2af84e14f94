// The platform's strings and number parsing.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ZelkRoot.hpp"

namespace Zelk {

String::String(const char* text) {
    if (text != nullptr) {
        this->text = text;
    }
}

String::String(const char* text, std::size_t length) {
    if (text != nullptr) {
        this->text.assign(text, length);
    }
}

String String::ToLowerCase() const {
    String result(*this);
    for (char& c : result.text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

UInt32 String::GenerateHashValue() const noexcept {
    UInt32 hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

String& String::operator+=(const String& other) {
    text += other.text;
    return *this;
}

String operator+(const String& left, const String& right) {
    String result(left);
    result += right;
    return result;
}

namespace {

// Decodes the UTF-8 sequence at `begin`; returns its length, or 0 when it is not well formed.
std::size_t DecodeUTF8(const unsigned char* begin, const unsigned char* end, char32_t& codePoint) {
    const unsigned char lead = *begin;
    std::size_t length;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - begin) < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((begin[i] & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (begin[i] & 0x3F);
    }
    return length;
}

bool IsUnicodeWhiteSpace(char32_t c) {
    switch (c) {
        case U' ':
        case U'\t':
        case U'\n':
        case U'\v':
        case U'\f':
        case U'\r':
        case 0x0085:
        case 0x00A0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace

UniString::UniString(const char* text, ZelkCharCode) {
    if (text != nullptr) {
        this->text = text;
    }
}

UniString UniString::Printf(const char* format, ...) {
    UniString result;
    if (format == nullptr) {
        return result;
    }
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        result.text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(result.text.data(), result.text.size() + 1, format, arguments);
    }
    va_end(arguments);
    return result;
}

bool UniString::IsASCII() const noexcept {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

UniString& UniString::Trim() {
    const auto* const data = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* begin = data;
    const unsigned char* end = data + text.size();
    char32_t codePoint = 0;

    while (begin < end) {
        const std::size_t length = DecodeUTF8(begin, end, codePoint);
        if (length == 0 || !IsUnicodeWhiteSpace(codePoint)) {
            break;
        }
        begin += length;
    }
    while (end > begin) {
        // Step back to the lead byte of the last character.
        const unsigned char* last = end - 1;
        while (last > begin && (*last & 0xC0) == 0x80 && end - last < 4) {
            --last;
        }
        const std::size_t length = DecodeUTF8(last, end, codePoint);
        if (length != static_cast<std::size_t>(end - last) || !IsUnicodeWhiteSpace(codePoint)) {
            break;
        }
        end = last;
    }
    text = decltype(text)(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    return *this;
}

std::size_t UniString::FindFirst(const char* what, std::size_t from) const {
    const std::size_t position = text.find(what == nullptr ? "" : what, from);
    return position == decltype(text)::npos ? MaxUSize : position;
}

UniString UniString::GetSubstring(std::size_t from, std::size_t length) const {
    UniString result;
    if (from < text.size()) {
        result.text = text.substr(from, length);
    }
    return result;
}

UniString operator+(const char* left, const UniString& right) {
    UniString result(left);
    result.text += right.text;
    return result;
}

bool operator==(const UniString& left, const char* right) noexcept {
    return left.text.compare(right == nullptr ? "" : right) == 0;
}

bool strtovalue(const UniString& text, UInt32& value, ToValueMode, TrimWSMode) {
    const char* digits = text.ToCStr();
    if (*digits == '\0') {
        return false;
    }
    UInt64 result = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        result = result * 10 + static_cast<UInt64>(*c - '0');
        if (result > std::numeric_limits<UInt32>::max()) {
            return false;
        }
    }
    value = static_cast<UInt32>(result);
    return true;
}

}  // namespace Zelk
