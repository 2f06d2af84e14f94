// ZelkRoot: the platform's containers: Array, and HashTable and HashSet, which keep insertion order.
#pragma once

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "ZelkRoot/Memory.hpp"
#include "ZelkRoot/Types.hpp"

namespace Zelk {

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
        return {InsertAbsent(std::forward<KeyArg>(key), hash, std::forward<ValueArgs>(valueArgs)...), true};
    }

    // Adds an entry for a key known to be absent, whose hash is `hash`.
    template <typename KeyArg, typename... ValueArgs>
    Value* InsertAbsent(KeyArg&& key, UInt32 hash, ValueArgs&&... valueArgs) {
        if (entries.size() + 1 > SmallSize && (entries.size() + 1) * 4 > buckets.size() * 3) {
            Rehash(buckets.empty() ? 2 * SmallSize : buckets.size() * 2);
        }
        const std::size_t bucket = buckets.empty() ? 0 : hash & (buckets.size() - 1);
        entries.push_back(Entry{Key(std::forward<KeyArg>(key)), Value(std::forward<ValueArgs>(valueArgs)...),
                                hash, buckets.empty() ? -1 : buckets[bucket]});
        if (!buckets.empty()) {
            buckets[bucket] = static_cast<Int32>(entries.size() - 1);
        }
        return &entries.back().value;
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

    // The position of the key's entry, or -1; `hash` is the key's.
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

private:
    // Up to this many entries a table has no buckets.
    static constexpr std::size_t SmallSize = 8;

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

    // A key looked up once, for a caller that checks more before adding it: the Add that takes it
    // neither hashes nor searches again.
    class LookUp {
    public:
        bool IsPresent() const noexcept { return present; }

    private:
        friend HashTable;
        LookUp(UInt32 keyHash, bool isPresent) noexcept : hash(keyHash), present(isPresent) {}
        UInt32 hash;
        bool present;
    };
    LookUp Find(const Key& key) const {
        const UInt32 hash = HashOf(key);
        return LookUp(hash, table.IndexOf(key, hash) >= 0);
    }
    // Adds the entry for `key`, looked up with Find, if it was absent. The table must not have
    // changed since that Find. True if added.
    bool Add(Key&& key, const Value& value, const LookUp& lookUp) {
        if (lookUp.present) {
            return false;
        }
        table.InsertAbsent(std::move(key), lookUp.hash, value);
        return true;
    }
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
        ConstIterator(const HashSet* owner, std::size_t position) : set(owner), index(position) {}
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

}  // namespace Zelk
