#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ZelkRoot.hpp"

namespace {

using Zelk::HashSet;
using Zelk::HashTable;
using Zelk::String;

// Every key lands in the same bucket chain.
struct CollidingKey {
    int id;
    Zelk::UInt32 GenerateHashValue() const noexcept { return 7; }
    friend bool operator==(const CollidingKey& left, const CollidingKey& right) {
        return left.id == right.id;
    }
};

class PasskeyHolder {
public:
    static Zelk::Friend<PasskeyHolder> MakeKey() { return {}; }
};

void TakesKey(Zelk::Friend<PasskeyHolder>) {}

template <typename T>
concept BracesConstructible = requires {
    T{};
};

TEST(ZelkRootContainers, FriendPasskeyIsMadeOnlyByItsOwner) {
    static_assert(!std::is_default_constructible_v<Zelk::Friend<PasskeyHolder>>);
    static_assert(!BracesConstructible<Zelk::Friend<PasskeyHolder>>);
    static_assert(std::is_copy_constructible_v<Zelk::Friend<PasskeyHolder>>);
    // The owner can make one and hand it on.
    const Zelk::Friend<PasskeyHolder> key = PasskeyHolder::MakeKey();
    TakesKey(key);
}

std::vector<std::string> KeysOf(const HashTable<String, int>& table) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < table.GetSize(); ++i) {
        keys.emplace_back(table.GetKeyAt(i).ToCStr());
    }
    return keys;
}

TEST(ZelkRootContainers, HashTableKeepsEntryOrderAndMovesLastIntoRemovedSlot) {
    HashTable<String, int> table;
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.Get("A"), nullptr);
    EXPECT_FALSE(table.Remove("A"));

    EXPECT_TRUE(table.Add("A", 1));
    EXPECT_TRUE(table.Add("B", 2));
    EXPECT_TRUE(table.Add("C", 3));
    EXPECT_FALSE(table.Add("B", 20));  // an existing entry keeps its value
    EXPECT_EQ(*table.Get("B"), 2);
    EXPECT_EQ(KeysOf(table), (std::vector<std::string>{"A", "B", "C"}));

    EXPECT_TRUE(table.Remove("A"));
    EXPECT_FALSE(table.Remove("A"));
    EXPECT_EQ(KeysOf(table), (std::vector<std::string>{"C", "B"}));
    EXPECT_EQ(table.GetValueAt(0), 3);
    EXPECT_EQ(*table.Get("C"), 3);
    EXPECT_EQ(*table.Get("B"), 2);

    // Removing the last entry moves nothing.
    EXPECT_TRUE(table.Remove("B"));
    EXPECT_EQ(KeysOf(table), (std::vector<std::string>{"C"}));

    table.GetOrAdd("D") += 5;
    table.GetOrAdd("D") += 5;
    EXPECT_EQ(*table.Get("D"), 10);
    EXPECT_EQ(table.GetOrAdd("C"), 3);
    EXPECT_EQ(table.GetSize(), 2u);

    table.Clear();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_FALSE(table.Contains("C"));
    EXPECT_TRUE(table.Add("C", 4));
    EXPECT_EQ(*table.Get("C"), 4);
}

TEST(ZelkRootContainers, HashTableSurvivesGrowthAndChurn) {
    HashTable<int, int> table;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(table.Add(i, i * 2));
    }
    for (int i = 0; i < 1000; i += 3) {
        ASSERT_TRUE(table.Remove(i));
    }
    for (int i = 0; i < 1000; ++i) {
        const int* value = table.Get(i);
        if (i % 3 == 0) {
            EXPECT_EQ(value, nullptr) << i;
        } else {
            ASSERT_NE(value, nullptr) << i;
            EXPECT_EQ(*value, i * 2);
        }
    }
    // Positions and lookups agree after all the moves.
    for (std::size_t i = 0; i < table.GetSize(); ++i) {
        EXPECT_EQ(*table.Get(table.GetKeyAt(i)), table.GetValueAt(i));
    }
}

TEST(ZelkRootContainers, HashTableHandlesCollisions) {
    HashTable<CollidingKey, int> table;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(table.Add(CollidingKey{i}, i));
    }
    EXPECT_FALSE(table.Add(CollidingKey{3}, 30));
    // From the middle of the chain, then the head, then the tail.
    EXPECT_TRUE(table.Remove(CollidingKey{2}));
    EXPECT_TRUE(table.Remove(CollidingKey{5}));
    EXPECT_TRUE(table.Remove(CollidingKey{0}));
    EXPECT_FALSE(table.Remove(CollidingKey{2}));
    EXPECT_EQ(table.GetSize(), 3u);
    for (int id : {1, 3, 4}) {
        ASSERT_TRUE(table.Contains(CollidingKey{id})) << id;
        EXPECT_EQ(*table.Get(CollidingKey{id}), id);
    }
    for (int id : {0, 2, 5}) {
        EXPECT_FALSE(table.Contains(CollidingKey{id})) << id;
    }
    EXPECT_TRUE(table.Add(CollidingKey{2}, 22));
    EXPECT_EQ(*table.Get(CollidingKey{2}), 22);
}

TEST(ZelkRootContainers, HashTableCopiesAndMoves) {
    HashTable<String, int> original;
    original.Add("x", 1);
    original.Add("y", 2);

    HashTable<String, int> copy = original;
    copy.Remove("x");
    copy.Add("z", 3);
    EXPECT_EQ(KeysOf(original), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(KeysOf(copy), (std::vector<std::string>{"y", "z"}));

    HashTable<String, int> moved = std::move(copy);
    EXPECT_EQ(*moved.Get("z"), 3);
    moved = original;
    EXPECT_EQ(KeysOf(moved), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(*moved.Get("y"), 2);
}

TEST(ZelkRootContainers, HashSetAddsOnceAndIteratesInEntryOrder) {
    HashSet<String> set;
    EXPECT_TRUE(set.Add("one"));
    String two("two");
    EXPECT_TRUE(set.Add(std::move(two)));
    EXPECT_TRUE(set.Add("three"));
    EXPECT_FALSE(set.Add("one"));
    EXPECT_TRUE(set.Remove("one"));
    EXPECT_FALSE(set.Contains("one"));

    std::vector<std::string> keys;
    for (const String& key : set) {
        keys.emplace_back(key.ToCStr());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"three", "two"}));

    HashSet<const void*> pointers;
    int a = 0;
    int b = 0;
    EXPECT_TRUE(pointers.Add(&a));
    EXPECT_TRUE(pointers.Add(&b));
    EXPECT_FALSE(pointers.Add(&a));
    EXPECT_TRUE(pointers.Contains(&b));
}

}  // namespace
