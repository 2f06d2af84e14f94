// ZelkRoot: the platform's strings, String (8-bit) and UniString (Unicode, UTF-8), and reading a
// number from text.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "ZelkRoot/Memory.hpp"
#include "ZelkRoot/Portability.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// An 8-bit string. Text is UTF-8 by convention; all operations work on bytes.
//
// Up to 15 bytes are held inline. Longer text sits in a buffer that copies share: it is counted
// and never changed, so copying an identity allocates nothing. A hash once computed is kept, in
// the shared buffer or in the string, and copies take it along.
class ZELKROOT_EXPORT String {
public:
    String() noexcept { ClearInline(); }
    String(const char* text);  // null is taken as the empty string
    String(const char* text, std::size_t length);
    String(const String& other) noexcept;
    String(String&& other) noexcept;
    String& operator=(const String& other) noexcept;
    String& operator=(String&& other) noexcept;
    ~String();

    const char* ToCStr() const noexcept { return IsShared() ? shared->Text() : inlineText; }
    std::size_t GetLength() const noexcept { return length; }
    bool IsEmpty() const noexcept { return length == 0; }

    // ASCII letters only; other bytes are kept.
    String ToLowerCase() const;

    // 32-bit FNV-1a over the bytes: equal strings give equal hashes.
    UInt32 GenerateHashValue() const noexcept;

    // The pieces one after another, in one allocation at most.
    static String Join(std::initializer_list<std::string_view> pieces);

    friend ZELKROOT_EXPORT String operator+(const String& left, const String& right);
    friend bool operator==(const String& left, const String& right) noexcept {
        if (left.length != right.length) {
            return false;
        }
        if (!left.IsShared()) {
            // Inline text is padded with zeros: two words to compare, not a call.
            return std::memcmp(left.inlineText, right.inlineText, sizeof(left.inlineText)) == 0;
        }
        if (left.shared == right.shared) {
            return true;
        }
        const UInt32 leftHash = left.GetKnownHash();
        const UInt32 rightHash = right.GetKnownHash();
        if (leftHash != 0 && rightHash != 0 && leftHash != rightHash) {
            return false;
        }
        return std::char_traits<char>::compare(left.ToCStr(), right.ToCStr(), left.length) == 0;
    }
    friend ZELKROOT_EXPORT bool operator<(const String& left, const String& right) noexcept;

private:
    static constexpr std::size_t InlineCapacity = 15;

    // The text follows in the same block.
    struct SharedText {
        std::atomic<UInt32> references;
        std::atomic<UInt32> hash;  // as `hash` below, for every string that shares the text
        char* Text() noexcept { return reinterpret_cast<char*>(this + 1); }
    };

    bool IsShared() const noexcept { return length > InlineCapacity; }
    void ClearInline() noexcept { std::memset(inlineText, 0, sizeof(inlineText)); }
    std::atomic<UInt32>& HashCache() const noexcept { return IsShared() ? shared->hash : hash; }
    UInt32 GetKnownHash() const noexcept { return HashCache().load(std::memory_order_relaxed); }
    // Makes room for `size` bytes and the terminating zero in this empty string; the caller
    // writes them.
    char* Reserve(std::size_t size);
    void Release() noexcept;

    union {
        char inlineText[InlineCapacity + 1];
        SharedText* shared;
    };
    UInt32 length = 0;
    // The hash of inline text: 0 until computed; a text whose hash is 0 is hashed every time.
    mutable std::atomic<UInt32> hash{0};
};

enum ZelkCharCode : Int32 {
    CC_UTF8 = 0,
};

// A Unicode string, held as UTF-8. Positions and lengths count bytes; since UTF-8 never
// uses an ASCII byte inside a multi-byte sequence, searching for ASCII text is exact.
class ZELKROOT_EXPORT UniString {
public:
    // An enumerator, not a static data member: a member of an exported class would be imported from
    // the DLL, which holds no copy of a constant.
    enum : std::size_t { MaxUSize = std::numeric_limits<std::size_t>::max() };

    UniString() = default;
    UniString(const char* text, ZelkCharCode charCode = CC_UTF8);

    // printf-style formatting; field widths count bytes.
    static UniString Printf(const char* format, ...) FEATURETOGGLE_PRINTF_FORMAT(1, 2);

    const char* ToCStr() const noexcept { return text.c_str(); }
    std::size_t GetLength() const noexcept { return text.size(); }
    bool IsEmpty() const noexcept { return text.empty(); }

    // True when every character is in the 7-bit range.
    bool IsASCII() const noexcept;
    // Removes leading and trailing Unicode white space, in place.
    UniString& Trim();
    // Position of the first occurrence of `what` at or after `from`, or MaxUSize.
    std::size_t FindFirst(const char* what, std::size_t from = 0) const;
    // At most `length` bytes from `from`.
    UniString GetSubstring(std::size_t from, std::size_t length = MaxUSize) const;

    friend ZELKROOT_EXPORT UniString operator+(const char* left, const UniString& right);
    friend bool operator==(const UniString& left, const UniString& right) noexcept {
        return left.text == right.text;
    }
    friend ZELKROOT_EXPORT bool operator==(const UniString& left, const char* right) noexcept;

private:
    std::basic_string<char, std::char_traits<char>, Allocator<char>> text;
};

enum ToValueMode : Int32 {
    // The whole text must be the number: no sign, no trailing characters.
    WholeTextIsNumber = 1,
};

enum TrimWSMode : Int32 {
    NoWhiteSpaceTrimming = 0,
};

// Reads a decimal unsigned 32-bit number. Returns false for anything else, an
// overflow included, and leaves `value` alone then.
ZELKROOT_EXPORT bool strtovalue(const UniString& text, UInt32& value, ToValueMode valueMode,
                                TrimWSMode trimMode);

}  // namespace Zelk
