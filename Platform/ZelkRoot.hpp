// ZelkRoot: the core platform layer the feature toggle library runs on.
//
// Strings, memory, the application log, error reports, preferences, atomics and the
// spin lock, XML input channels and the containers. Everything a host or a test needs
// to steer (where log entries, error reports and preferences go) sits in the `Host`
// parts of each section.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "Portability.hpp"

namespace Zelk {

using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using UInt64 = std::uint64_t;

// The platform's error code for data that cannot be used: an unreadable file, an invalid value.
inline constexpr Int32 ErrorInvalidData = -7003;

// ---------------------------------------------------------------------------------------------
// Memory

// Every heap object of the library and of the containers below goes through here, so that a
// host (or a benchmark) can count what is allocated.
class MemoryManager {
public:
    static void* Allocate(std::size_t size);  // throws std::bad_alloc on failure
    static void Free(void* pointer) noexcept;

    struct Statistics {
        UInt64 allocations = 0;
        UInt64 frees = 0;
        UInt64 bytesAllocated = 0;
    };
    // Counts since the start of the process, kept per thread without a locked instruction, so
    // cheap enough to keep always on.
    static Statistics GetStatistics();
};

// A standard allocator over the memory manager, for the containers and strings of this layer.
template <typename T>
class Allocator {
public:
    using value_type = T;

    Allocator() noexcept = default;
    template <typename U>
    Allocator(const Allocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(MemoryManager::Allocate(count * sizeof(T)));
    }
    void deallocate(T* pointer, std::size_t) noexcept { MemoryManager::Free(pointer); }

    template <typename U>
    bool operator==(const Allocator<U>&) const noexcept {
        return true;
    }
};

// ---------------------------------------------------------------------------------------------
// Strings

// An 8-bit string. Text is UTF-8 by convention; all operations work on bytes.
//
// Up to 15 bytes are held inline. Longer text sits in a buffer that copies share: it is counted
// and never changed, so copying an identity allocates nothing. A hash once computed is kept, in
// the shared buffer or in the string, and copies take it along.
class String {
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

    friend String operator+(const String& left, const String& right);
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
    friend bool operator<(const String& left, const String& right) noexcept;

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
class UniString {
public:
    static constexpr std::size_t MaxUSize = std::numeric_limits<std::size_t>::max();

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

    friend UniString operator+(const char* left, const UniString& right);
    friend bool operator==(const UniString& left, const UniString& right) noexcept {
        return left.text == right.text;
    }
    friend bool operator==(const UniString& left, const char* right) noexcept;

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
bool strtovalue(const UniString& text, UInt32& value, ToValueMode valueMode, TrimWSMode trimMode);

// ---------------------------------------------------------------------------------------------
// Templates

template <typename T>
class Optional {
public:
    Optional() = default;
    Optional(const T& value) : storage(value) {}
    Optional(T&& value) : storage(std::move(value)) {}

    bool HasValue() const noexcept { return storage.has_value(); }
    const T& Get() const { return *storage; }
    T& Get() { return *storage; }
    void Clear() noexcept { storage.reset(); }

    friend bool operator==(const Optional& left, const Optional& right) {
        return left.storage == right.storage;
    }

private:
    std::optional<T> storage;
};

// A passkey: only `T` can make one, so an operation that takes a Friend<T> can be called only
// from `T`. It is copyable so that it can be passed on.
template <typename T>
class Friend {
    friend T;
    Friend() noexcept {}
};

template <typename T>
class Array {
public:
    using Iterator = typename std::vector<T, Allocator<T>>::iterator;
    using ConstIterator = typename std::vector<T, Allocator<T>>::const_iterator;

    void Push(const T& item) { items.push_back(item); }
    void Push(T&& item) { items.push_back(std::move(item)); }
    std::size_t GetSize() const noexcept { return items.size(); }
    bool IsEmpty() const noexcept { return items.empty(); }
    void EnsureCapacity(std::size_t capacity) { items.reserve(capacity); }
    T& operator[](std::size_t index) { return items[index]; }
    const T& operator[](std::size_t index) const { return items[index]; }

    Iterator begin() noexcept { return items.begin(); }
    Iterator end() noexcept { return items.end(); }
    ConstIterator begin() const noexcept { return items.begin(); }
    ConstIterator end() const noexcept { return items.end(); }

private:
    std::vector<T, Allocator<T>> items;
};

// How the hash containers hash a key: a key type with a GenerateHashValue member uses it;
// anything else (pointers, integers) uses std::hash, mixed down to 32 bits.
namespace Detail {

template <typename Key, typename = void>
struct HasGenerateHashValue : std::false_type {};
template <typename Key>
struct HasGenerateHashValue<Key, std::void_t<decltype(std::declval<const Key&>().GenerateHashValue())>>
    : std::is_convertible<decltype(std::declval<const Key&>().GenerateHashValue()), UInt32> {};

}  // namespace Detail

template <typename Key>
UInt32 HashOf(const Key& key) {
    if constexpr (Detail::HasGenerateHashValue<Key>::value) {
        return key.GenerateHashValue();
    } else {
        // std::hash of a pointer is its address, whose low bits alignment keeps at zero; a
        // multiplication by a large odd constant spreads every bit into the high half.
        const UInt64 hash = static_cast<UInt64>(std::hash<Key>{}(key)) * 0x9E3779B97F4A7C15ull;
        return static_cast<UInt32>(hash >> 32);
    }
}

namespace Detail {

struct NoValue {};

// A hash table whose entries sit in one dense array in the order they were added. Removing an
// entry moves the last one into its place, so the array stays dense and enumeration walks it
// front to back. Buckets hold the index of the first entry of their chain. A small table has no
// buckets: a lookup compares the stored hashes of its few entries, and one allocation holds it.
template <typename Key, typename Value>
class DenseHashTable {
public:
    struct Entry {
        Key key;
        Value value;
        UInt32 hash;
        Int32 next;  // next entry of the same bucket, or -1
    };

    std::size_t GetSize() const noexcept { return entries.size(); }

    Value* Find(const Key& key) {
        if (entries.empty()) {
            return nullptr;
        }
        const Int32 index = IndexOf(key, HashOf(key));
        return index < 0 ? nullptr : &entries[static_cast<std::size_t>(index)].value;
    }
    const Value* Find(const Key& key) const { return const_cast<DenseHashTable*>(this)->Find(key); }

    // Adds the entry if the key is absent; returns the entry's value and whether it was added.
    template <typename KeyArg, typename... ValueArgs>
    std::pair<Value*, bool> Insert(KeyArg&& key, ValueArgs&&... valueArgs) {
        const UInt32 hash = HashOf(key);
        const Int32 existing = IndexOf(key, hash);
        if (existing >= 0) {
            return {&entries[static_cast<std::size_t>(existing)].value, false};
        }
        if (entries.size() + 1 > SmallSize && (entries.size() + 1) * 4 > buckets.size() * 3) {
            Rehash(buckets.empty() ? 2 * SmallSize : buckets.size() * 2);
        }
        const std::size_t bucket = buckets.empty() ? 0 : hash & (buckets.size() - 1);
        entries.push_back(Entry{Key(std::forward<KeyArg>(key)), Value(std::forward<ValueArgs>(valueArgs)...),
                                hash, buckets.empty() ? -1 : buckets[bucket]});
        if (!buckets.empty()) {
            buckets[bucket] = static_cast<Int32>(entries.size() - 1);
        }
        return {&entries.back().value, true};
    }

    bool Remove(const Key& key) {
        if (entries.empty()) {
            return false;
        }
        const UInt32 hash = HashOf(key);
        if (buckets.empty()) {
            const Int32 index = IndexOf(key, hash);
            if (index < 0) {
                return false;
            }
            if (static_cast<std::size_t>(index) + 1 != entries.size()) {
                entries[static_cast<std::size_t>(index)] = std::move(entries.back());
            }
            entries.pop_back();
            return true;
        }
        Int32* link = &buckets[hash & (buckets.size() - 1)];
        while (*link >= 0 && !(entries[static_cast<std::size_t>(*link)].hash == hash &&
                               entries[static_cast<std::size_t>(*link)].key == key)) {
            link = &entries[static_cast<std::size_t>(*link)].next;
        }
        if (*link < 0) {
            return false;
        }
        const Int32 removed = *link;
        *link = entries[static_cast<std::size_t>(removed)].next;

        const Int32 last = static_cast<Int32>(entries.size() - 1);
        if (removed != last) {
            // Point whatever referred to the last entry at the slot it moves into.
            Int32* lastLink = &buckets[entries.back().hash & (buckets.size() - 1)];
            while (*lastLink != last) {
                lastLink = &entries[static_cast<std::size_t>(*lastLink)].next;
            }
            *lastLink = removed;
            entries[static_cast<std::size_t>(removed)] = std::move(entries.back());
        }
        entries.pop_back();
        return true;
    }

    void Clear() noexcept {
        entries.clear();
        buckets.clear();
    }

    const Entry& EntryAt(std::size_t index) const { return entries[index]; }
    Entry& EntryAt(std::size_t index) { return entries[index]; }

private:
    // Up to this many entries a table has no buckets.
    static constexpr std::size_t SmallSize = 8;

    Int32 IndexOf(const Key& key, UInt32 hash) const {
        if (buckets.empty()) {
            for (std::size_t index = 0; index < entries.size(); ++index) {
                if (entries[index].hash == hash && entries[index].key == key) {
                    return static_cast<Int32>(index);
                }
            }
            return -1;
        }
        Int32 index = buckets[hash & (buckets.size() - 1)];
        while (index >= 0) {
            const Entry& entry = entries[static_cast<std::size_t>(index)];
            if (entry.hash == hash && entry.key == key) {
                return index;
            }
            index = entry.next;
        }
        return -1;
    }

    void Rehash(std::size_t bucketCount) {
        std::vector<Int32, Allocator<Int32>> newBuckets(bucketCount, -1);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::size_t bucket = entries[i].hash & (bucketCount - 1);
            entries[i].next = newBuckets[bucket];
            newBuckets[bucket] = static_cast<Int32>(i);
        }
        buckets.swap(newBuckets);
    }

    std::vector<Entry, Allocator<Entry>> entries;
    std::vector<Int32, Allocator<Int32>> buckets;
};

}  // namespace Detail

// A map kept in insertion order; removing an entry moves the last entry into its place.
template <typename Key, typename Value>
class HashTable {
public:
    std::size_t GetSize() const noexcept { return table.GetSize(); }
    bool IsEmpty() const noexcept { return table.GetSize() == 0; }
    bool Contains(const Key& key) const { return table.Find(key) != nullptr; }

    // Null when the key is absent.
    Value* Get(const Key& key) { return table.Find(key); }
    const Value* Get(const Key& key) const { return table.Find(key); }

    // Adds the entry if the key is absent; an existing entry keeps its value. True if added.
    bool Add(const Key& key, const Value& value) { return table.Insert(key, value).second; }
    bool Add(Key&& key, const Value& value) { return table.Insert(std::move(key), value).second; }
    // The value of the key's entry, made with Value() first if the key is absent.
    Value& GetOrAdd(const Key& key) { return *table.Insert(key).first; }
    // True if an entry was removed.
    bool Remove(const Key& key) { return table.Remove(key); }
    void Clear() noexcept { table.Clear(); }

    // Entries by position, 0 to GetSize() - 1, in entry order.
    const Key& GetKeyAt(std::size_t index) const { return table.EntryAt(index).key; }
    const Value& GetValueAt(std::size_t index) const { return table.EntryAt(index).value; }
    Value& GetValueAt(std::size_t index) { return table.EntryAt(index).value; }

private:
    Detail::DenseHashTable<Key, Value> table;
};

// A set kept in insertion order, with the same removal rule as HashTable.
template <typename Key>
class HashSet {
public:
    std::size_t GetSize() const noexcept { return table.GetSize(); }
    bool IsEmpty() const noexcept { return table.GetSize() == 0; }
    bool Contains(const Key& key) const { return table.Find(key) != nullptr; }

    // True if added; a key already present is not added twice.
    bool Add(const Key& key) { return table.Insert(key).second; }
    bool Add(Key&& key) { return table.Insert(std::move(key)).second; }
    bool Remove(const Key& key) { return table.Remove(key); }
    void Clear() noexcept { table.Clear(); }

    const Key& GetAt(std::size_t index) const { return table.EntryAt(index).key; }

    class ConstIterator {
    public:
        ConstIterator(const HashSet* set, std::size_t index) : set(set), index(index) {}
        const Key& operator*() const { return set->GetAt(index); }
        ConstIterator& operator++() {
            ++index;
            return *this;
        }
        bool operator!=(const ConstIterator& other) const { return index != other.index; }

    private:
        const HashSet* set;
        std::size_t index;
    };
    ConstIterator begin() const { return ConstIterator(this, 0); }
    ConstIterator end() const { return ConstIterator(this, GetSize()); }

private:
    Detail::DenseHashTable<Key, Detail::NoValue> table;
};

// ---------------------------------------------------------------------------------------------
// Exceptions

// The platform's own exception type.
class ZelkException : public std::exception {
public:
    explicit ZelkException(const char* message);
    const char* what() const noexcept override;

private:
    std::shared_ptr<const std::string> message;
};

// ---------------------------------------------------------------------------------------------
// Synchronisation

// Stores `newValue` into `*target` if it holds `expected`; says whether it did. A full barrier.
inline bool AtomicCompareAndSwap(volatile Int32* target, Int32 newValue, Int32 expected) noexcept {
    return Compiler::CompareAndSwap32(target, newValue, expected);
}
// Reads `*source` with acquire ordering.
inline Int32 AtomicLoadAcquire(const volatile Int32* source) noexcept {
    return Compiler::LoadAcquire32(source);
}
// Writes `*target` with release ordering.
inline void AtomicStoreRelease(volatile Int32* target, Int32 value) noexcept {
    Compiler::StoreRelease32(target, value);
}

// The processor's spin-wait hint.
inline void SpinWaitHint() noexcept {
    Compiler::SpinWaitHint();
}

// <windows.h> defines Yield() as an empty macro, which would swallow the declaration below.
#if defined(_WIN32) && defined(Yield)
#undef Yield
#endif

class Thread {
public:
    // Gives up the processor to another ready thread.
    static void Yield() noexcept;
};

class SpinLock {
public:
    SpinLock() noexcept = default;
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

    // Spins with the processor's pause hint; with `yieldWhileWaiting` it also yields the thread
    // now and then, so that a waiter does not starve the holder on a busy machine.
    void Acquire(bool yieldWhileWaiting) noexcept;
    void Release() noexcept;

private:
    volatile Int32 state = 0;
};

// ---------------------------------------------------------------------------------------------
// The application log

// A line template made once per call site: each '%' stands for one argument, in order. The
// category and source name the line for the platform's log viewer; this log keeps neither.
class InfoLogLine {
public:
    InfoLogLine(const char* lineTemplate, const char* category, const char* source);

    const char* GetTemplate() const noexcept { return lineTemplate.c_str(); }

private:
    std::string lineTemplate;
};

class FastLogger {
public:
    // Collects one entry; the entry is complete, and handed to the sink, when it is destroyed.
    class LogComposer {
    public:
        LogComposer() = default;
        LogComposer(const LogComposer&) = delete;
        LogComposer& operator=(const LogComposer&) = delete;
        ~LogComposer();

        LogComposer& Append(UInt32 number);
        LogComposer& Append(const char* text);

    private:
        friend class FastLogger;
        void AppendArgument(const char* text, std::size_t length);

        FastLogger* logger = nullptr;
        const InfoLogLine* line = nullptr;
        // The entry is built as the arguments come, by the rules of Compose: `entry` holds it up
        // to the template's next '%', and `rest` the template from there.
        std::string entry;
        const char* rest = nullptr;
    };

    // Starts an entry of `line` in `composer`.
    LogComposer& Append(const InfoLogLine& line, LogComposer& composer);

    // The text of a complete entry: the template with each '%' replaced by the next argument.
    // A '%' without an argument stays as it is; arguments beyond the last '%' are dropped.
    static std::string Compose(const char* lineTemplate, const std::vector<std::string>& arguments);

    // Where complete entries go. The default sink writes each entry as one line to standard
    // error; an empty function restores it.
    using Sink = std::function<void(const char* entry)>;
    void SetSink(Sink sink);

private:
    void Write(const std::string& entry);

    Sink sink;
};

// The application log.
extern FastLogger logger;

}  // namespace Zelk

// ---------------------------------------------------------------------------------------------
// Environment

namespace Zelk {

// The environment variable `name` as UTF-8 text (read as UTF-16 on Windows, so that any text
// comes through); empty when it is not set.
std::string ReadEnvironmentText(const char* name);

}  // namespace Zelk

// ---------------------------------------------------------------------------------------------
// Error reports

// Hands `message` to the application's error report facility.
void BugRep_ReportError(const char* message, Zelk::UInt32 flags, Zelk::Int32 reserved);

// The facility itself: the default handler writes the message as one line to standard error;
// an empty function restores it.
using BugRep_Handler = std::function<void(const char* message, Zelk::UInt32 flags)>;
void BugRep_SetHandler(BugRep_Handler handler);

// ---------------------------------------------------------------------------------------------
// Preferences

namespace ZelkPref {

using Zelk::Int32;
using Zelk::UInt32;

// The roots of the preference store.
enum RootKeyDomain : Int32 {
    ApplicationDomain = 0,  // sections of GetBoolValue live here, the section being the path
    UserDomain = 1,         // debug toggles
};

// Result codes of IRoot reads.
inline constexpr UInt32 ResultOk = 0;
inline constexpr UInt32 ResultValueNotFound = 0x81000501;  // nothing stored at that path and name
inline constexpr UInt32 ResultValueEmpty = 0x81000502;   // stored, but empty: the out-parameter is left alone
inline constexpr UInt32 ResultNotABoolean = 0x81000503;  // stored, but not "true", "false", "1" or "0"

// An open preference root.
class IRoot {
public:
    enum WriteBackMode : Int32 {
        NoWriteBack = 0,
    };

    virtual ~IRoot() = default;
    // Reads the boolean `valueName` at `path`. The two trailing arguments are reserved (0).
    virtual UInt32 ReadBool(const char* path, const char* valueName, bool* value, Int32 reserved1,
                            Int32 reserved2) = 0;
};

// A root for the domain, or null when it cannot be opened. Close it with CloseRootKey.
IRoot* OpenRootKey(RootKeyDomain domain);
// Releases the root `*root` holds (nothing if null) and sets `*root` to null.
void CloseRootKey(IRoot** root);

// The stored boolean `key` of `section` (ApplicationDomain), or `defaultValue`.
bool GetBoolValue(const char* section, const char* key, bool defaultValue, IRoot::WriteBackMode mode);

// What a host steers. The store's fault injection for tests is in ZelkRootTesting.hpp.
namespace Host {

// Loads the preference file at `path`, replacing what the store held. A missing file gives an
// empty store; a malformed or unreadable one, or one larger than 4 MiB, is reported once through
// BugRep_ReportError and gives an empty store. The format:
//   <Preferences>
//     <Value domain="1" path="Debug/Rendering" name="ShowFrameRate">true</Value>
//   </Preferences>
void LoadPreferenceFile(const char* path);
// Sets one value in memory ("true", "false", "1", "0", or any other text to test bad values).
void SetValue(RootKeyDomain domain, const char* path, const char* name, const char* text);

}  // namespace Host
}  // namespace ZelkPref

// ---------------------------------------------------------------------------------------------
// XML input

namespace Zelk {

// Reads one XML document, element by element.
class XMLIChannel {
public:
    // What ReadStartTagName and PeekNextTagName return.
    static constexpr int Unreadable = 0;    // the document cannot be read further
    static constexpr int StartTag = 1;      // a start tag is next; its name was read
    static constexpr int EndOfElement = 2;  // the current element ends next

    virtual ~XMLIChannel() = default;

    // Reads the document's first start tag: StartTag and its name, the channel then inside that
    // element before its first child; anything else when there is none.
    virtual int ReadStartTagName(UniString& name) = 0;
    // Looks at what comes next inside the current element without consuming it: EndOfElement
    // when the element ends next; StartTag and the name of the next child element; Unreadable
    // when the document cannot be read further. Text, comments and processing instructions are
    // passed over.
    virtual int PeekNextTagName(UniString& name) = 0;
    virtual bool HasAttribute(const char* name) = 0;
    // 0 and the attribute's text when it was read.
    virtual int ReadAttribute(const char* name, UniString& value) = 0;
    // Keeps a read error message; returns the number of messages kept so far.
    virtual int RecordError(const UniString& message) = 0;
    virtual std::vector<std::string> GetRecordedErrors() const = 0;

protected:
    friend class XMLITag;
    // Enters the next child element, which must be named `tagName`; false if it is not next.
    virtual bool EnterElement(const char* tagName) = 0;
    // Leaves the current element, skipping whatever of it was not read.
    virtual void LeaveElement() = 0;
};

// Enters the next child element while it lives.
class XMLITag {
public:
    XMLITag(XMLIChannel& channel, const char* tagName);
    ~XMLITag();
    XMLITag(const XMLITag&) = delete;
    XMLITag& operator=(const XMLITag&) = delete;

    bool IsEntered() const noexcept { return entered; }

private:
    XMLIChannel& channel;
    bool entered;
};

enum XMLNoTopLevelTagType : Int32 {
    TopLevelTagRequired = 0,
};

}  // namespace Zelk
