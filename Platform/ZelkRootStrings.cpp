// The platform's strings and number parsing.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "ZelkRoot.hpp"

namespace Zelk {

String::String(const char* text) : String(text, text != nullptr ? std::strlen(text) : 0) {}

String::String(const char* text, std::size_t length) {
    ClearInline();
    if (text != nullptr && length != 0) {
        char* const out = Reserve(length);
        std::memcpy(out, text, length);
        out[length] = '\0';
    }
}

String::String(const String& other) noexcept
    : length(other.length), hash(other.hash.load(std::memory_order_relaxed)) {
    if (other.IsShared()) {
        shared = other.shared;
        shared->references.fetch_add(1, std::memory_order_relaxed);
    } else {
        std::memcpy(inlineText, other.inlineText, sizeof(inlineText));
    }
}

String::String(String&& other) noexcept
    : length(other.length), hash(other.hash.load(std::memory_order_relaxed)) {
    std::memcpy(inlineText, other.inlineText, sizeof(inlineText));
    other.length = 0;
    other.ClearInline();
    other.hash.store(0, std::memory_order_relaxed);
}

String& String::operator=(const String& other) noexcept {
    if (this != &other) {
        String copy(other);
        *this = std::move(copy);
    }
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        Release();
        std::memcpy(inlineText, other.inlineText, sizeof(inlineText));
        length = other.length;
        hash.store(other.hash.load(std::memory_order_relaxed), std::memory_order_relaxed);
        other.length = 0;
        other.ClearInline();
        other.hash.store(0, std::memory_order_relaxed);
    }
    return *this;
}

String::~String() {
    Release();
}

char* String::Reserve(std::size_t size) {
    if (size > std::numeric_limits<UInt32>::max()) {
        throw std::length_error("Zelk::String longer than 4 GiB");
    }
    if (size > InlineCapacity) {
        void* const block = MemoryManager::Allocate(sizeof(SharedText) + size + 1);
        shared = new (block) SharedText{{1}, {0}};
    } else {
        ClearInline();
    }
    length = static_cast<UInt32>(size);
    return IsShared() ? shared->Text() : inlineText;
}

void String::Release() noexcept {
    if (IsShared() && shared->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        shared->~SharedText();
        MemoryManager::Free(shared);
    }
    length = 0;
    ClearInline();
}

String String::ToLowerCase() const {
    const char* const text = ToCStr();
    const char* const end = text + length;
    const char* upper = std::find_if(text, end, [](char c) { return c >= 'A' && c <= 'Z'; });
    if (upper == end) {
        return *this;
    }
    String result;
    char* const out = result.Reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        out[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    out[length] = '\0';
    return result;
}

UInt32 String::GenerateHashValue() const noexcept {
    std::atomic<UInt32>& cache = HashCache();
    const UInt32 cached = cache.load(std::memory_order_relaxed);
    if (cached != 0) {
        return cached;
    }
    UInt32 value = 2166136261u;
    const char* const text = ToCStr();
    for (std::size_t i = 0; i < length; ++i) {
        value ^= static_cast<unsigned char>(text[i]);
        value *= 16777619u;
    }
    cache.store(value, std::memory_order_relaxed);
    return value;
}

String String::Join(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) {
        size += piece.size();
    }
    String result;
    if (size != 0) {
        char* out = result.Reserve(size);
        for (const std::string_view piece : pieces) {
            out = std::copy(piece.begin(), piece.end(), out);
        }
        *out = '\0';
    }
    return result;
}

String operator+(const String& left, const String& right) {
    if (right.IsEmpty()) {
        return left;
    }
    if (left.IsEmpty()) {
        return right;
    }
    String result;
    char* const out = result.Reserve(std::size_t{left.length} + right.length);
    std::memcpy(out, left.ToCStr(), left.length);
    std::memcpy(out + left.length, right.ToCStr(), right.length);
    out[result.length] = '\0';
    return result;
}

bool operator<(const String& left, const String& right) noexcept {
    const int order = std::memcmp(left.ToCStr(), right.ToCStr(), std::min(left.length, right.length));
    return order != 0 ? order < 0 : left.length < right.length;
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
    // Formatted once into a buffer on the stack, which a report row fits; only a longer text is
    // formatted a second time, into its own storage.
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof(buffer)) {
        result.text.assign(buffer, static_cast<std::size_t>(length));
    } else if (length > 0) {
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
    return position == decltype(text)::npos ? std::size_t{MaxUSize} : position;
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
