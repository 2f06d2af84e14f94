#include <type_traits>

#include "Support/TestSupport.hpp"

namespace {

struct PasskeyHolder {};
static_assert(!std::is_default_constructible_v<Zelk::Friend<PasskeyHolder>>);
static_assert(std::is_copy_constructible_v<Zelk::Friend<PasskeyHolder>>);

// Five hash values for all keys, so chains are long and removals unlink heads, middles and tails.
struct ClusteredKey {
    int id;
    Zelk::UInt32 GenerateHashValue() const noexcept { return static_cast<Zelk::UInt32>(id % 5); }
    friend bool operator==(const ClusteredKey&, const ClusteredKey&) = default;
};

TEST(ZelkRoot, HashTableLookupsAgreeThroughGrowthAndRemoval) {
    Zelk::HashTable<ClusteredKey, int> table;
    for (int i = 0; i < 300; ++i) {
        table.Add(ClusteredKey{i}, i);
    }
    EXPECT_FALSE(table.Add(ClusteredKey{7}, -1));  // an existing entry keeps its value
    for (int i = 0; i < 300; i += 3) {
        EXPECT_TRUE(table.Remove(ClusteredKey{i}));
    }
    EXPECT_FALSE(table.Remove(ClusteredKey{0}));
    for (int i = 0; i < 300; ++i) {
        const int* value = table.Get(ClusteredKey{i});
        EXPECT_EQ(value == nullptr ? -1 : *value, i % 3 == 0 ? -1 : i) << i;
    }
    for (std::size_t i = 0; i < table.GetSize(); ++i) {
        EXPECT_EQ(table.GetKeyAt(i).id, table.GetValueAt(i));
    }
}

TEST(ZelkRoot, StringLowerCasesOnlyAsciiCapitalsAndOrdersByUnsignedBytes) {
    std::string every;
    std::string lowered;
    for (int c = 1; c < 256; ++c) {
        every += static_cast<char>(c);
        lowered += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    EXPECT_EQ(Zelk::String(every.c_str()).ToLowerCase().ToCStr(), lowered);

    const auto less = [](const char* left, const char* right) {
        return Zelk::String(left) < Zelk::String(right);
    };
    EXPECT_TRUE(less("Z", "a"));
    EXPECT_TRUE(less("ab", "abc"));
    EXPECT_FALSE(less("abc", "ab"));
    EXPECT_TRUE(less("z", "\xC3\xA9"));  // bytes above 0x7F sort last
}

TEST(ZelkRoot, UniStringTrimsUnicodeWhiteSpaceAndCutsByBytes) {
    const std::pair<const char*, const char*> trims[] = {
        {" \t a b \r\n", "a b"},
        {"\u00a0\u3000x\u2028\u0085", "x"},
        {"   ", ""},
        {"\u200bx\u200b", "\u200bx\u200b"},  // zero-width space is no white space
        {"x \xC3", "x \xC3"},                // nor is a broken sequence
    };
    for (const auto& [text, trimmed] : trims) {
        EXPECT_EQ(Zelk::UniString(text).Trim(), trimmed) << text;
    }

    const Zelk::UniString list("a|b|c");
    EXPECT_EQ(list.FindFirst("|"), 1u);
    EXPECT_EQ(list.FindFirst("|", 2), 3u);
    EXPECT_EQ(list.FindFirst("|", 9), Zelk::UniString::MaxUSize);
    EXPECT_EQ(list.GetSubstring(2, 1), "b");
    EXPECT_EQ(list.GetSubstring(9), "");
    EXPECT_TRUE(Zelk::UniString("plain\x7f").IsASCII());
    EXPECT_FALSE(Zelk::UniString("caf\xC3\xA9").IsASCII());
    EXPECT_NE(Zelk::UniString("Enabled"), "enabled");  // compared exactly, case included
    EXPECT_EQ(Zelk::UniString::Printf("%-5s|%u", "\xC3\xA9", 7u), "\xC3\xA9   |7");  // widths count bytes
}

TEST(ZelkRoot, LogFillsPlaceholdersInOrderAndWritesToStandardErrorUnlessCaptured) {
    // Missing arguments leave their '%', extra ones are dropped, an argument's own '%' is text.
    EXPECT_EQ(Zelk::FastLogger::Compose("% of % set", {"3"}), "3 of % set");
    EXPECT_EQ(Zelk::FastLogger::Compose("%:%", {"50%", "b", "c"}), "50%:b");

    static const Zelk::InfoLogLine line("entry %", "FeatureToggle", "test");
    testing::internal::CaptureStderr();
    {
        Zelk::FastLogger::LogComposer composer;
        Zelk::logger.Append(line, composer).Append(9u);
    }
    BugRep_ReportError("report", 0x80000000u, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "entry 9\nreport\n");
}

}  // namespace
