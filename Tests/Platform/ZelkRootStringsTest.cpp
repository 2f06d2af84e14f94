#include <gtest/gtest.h>

#include <string>

#include "ZelkRoot.hpp"

namespace {

using Zelk::String;
using Zelk::UInt32;
using Zelk::UniString;

TEST(ZelkRootStrings, StringHashIsFnv1aAndFollowsEquality) {
    EXPECT_EQ(String("").GenerateHashValue(), 0x811c9dc5u);
    EXPECT_EQ(String("a").GenerateHashValue(), 0xe40c292cu);
    EXPECT_EQ(String("foobar").GenerateHashValue(), 0xbf9cf968u);
    // Bytes above 0x7f must not be sign-extended into the hash.
    EXPECT_EQ(String("\xff").GenerateHashValue(), (0x811c9dc5u ^ 0xffu) * 16777619u);

    const String built = String("Release") + String("Toggle");
    EXPECT_EQ(built, String("ReleaseToggle"));
    EXPECT_EQ(built.GenerateHashValue(), String("ReleaseToggle").GenerateHashValue());
    EXPECT_NE(String("ab").GenerateHashValue(), String("ba").GenerateHashValue());
}

TEST(ZelkRootStrings, StringBasics) {
    EXPECT_TRUE(String(nullptr).IsEmpty());
    EXPECT_EQ(String("abcdef", 3), String("abc"));
    // An embedded zero byte is part of the string.
    EXPECT_EQ(String("a\0b", 3).GetLength(), 3u);

    EXPECT_STREQ(String("MiXeD 42 \xc3\x89t\xc3\xa9").ToLowerCase().ToCStr(), "mixed 42 \xc3\x89t\xc3\xa9");

    String text("a");
    text += String("b");
    EXPECT_STREQ(text.ToCStr(), "ab");
    EXPECT_TRUE(String("a") < String("b"));
    EXPECT_FALSE(String("b") < String("a"));
    EXPECT_FALSE(String("a") < String("a"));
}

TEST(ZelkRootStrings, UniStringTrimRemovesUnicodeWhiteSpaceOnly) {
    UniString text(" \t\r\n\v\f\xc2\xa0\xe3\x80\x80 in \xe2\x80\x83 side\xe2\x80\x89\xe2\x80\xa8\xc2\x85");
    EXPECT_EQ(text.Trim(), "in \xe2\x80\x83 side");

    // Every listed space on its own trims to nothing.
    for (const char* space : {"\xe1\x9a\x80", "\xe2\x80\x80", "\xe2\x80\x8a", "\xe2\x80\xa9", "\xe2\x80\xaf",
                              "\xe2\x81\x9f", "\xe3\x80\x80"}) {
        EXPECT_TRUE(UniString(space).Trim().IsEmpty()) << space;
    }

    // Zero-width space is not white space; neither is a letter whose last byte looks like NBSP's.
    EXPECT_EQ(UniString("\xe2\x80\x8bx\xe2\x80\x8b").Trim(), "\xe2\x80\x8bx\xe2\x80\x8b");
    EXPECT_EQ(UniString(" \xc3\xa0 ").Trim(), "\xc3\xa0");
    // Broken sequences are kept, not misread.
    EXPECT_EQ(UniString(" \xa0").Trim(), "\xa0");
    EXPECT_EQ(UniString("x\xe2\x80").Trim(), "x\xe2\x80");
    EXPECT_TRUE(UniString("").Trim().IsEmpty());
}

TEST(ZelkRootStrings, UniStringSearchAndSlices) {
    EXPECT_TRUE(UniString("plain text ~!").IsASCII());
    EXPECT_TRUE(UniString("").IsASCII());
    EXPECT_FALSE(UniString("caf\xc3\xa9").IsASCII());

    const UniString text("a,b,c");
    EXPECT_EQ(text.FindFirst(","), 1u);
    EXPECT_EQ(text.FindFirst(",", 2), 3u);
    EXPECT_EQ(text.FindFirst(",", 4), UniString::MaxUSize);
    EXPECT_EQ(text.FindFirst(";"), UniString::MaxUSize);
    EXPECT_EQ(text.FindFirst(",", 100), UniString::MaxUSize);

    EXPECT_EQ(text.GetSubstring(2), "b,c");
    EXPECT_EQ(text.GetSubstring(2, 1), "b");
    EXPECT_EQ(text.GetSubstring(4, 10), "c");
    EXPECT_TRUE(text.GetSubstring(5).IsEmpty());
    EXPECT_TRUE(text.GetSubstring(50, 2).IsEmpty());

    EXPECT_EQ("x=" + UniString("1"), "x=1");
    EXPECT_TRUE(UniString("a") != "b");
    EXPECT_TRUE(UniString() == nullptr);
}

TEST(ZelkRootStrings, UniStringPrintf) {
    EXPECT_EQ(UniString::Printf("%s #%u: %d", "entry", 7u, -3), "entry #7: -3");
    EXPECT_TRUE(UniString::Printf("%s", "").IsEmpty());
    const std::string longText(1000, 'x');
    EXPECT_EQ(UniString::Printf("[%s]", longText.c_str()).GetLength(), 1002u);
}

TEST(ZelkRootStrings, StrtovalueAcceptsOnlyWholeUnsignedDecimals) {
    const auto parse = [](const char* text, UInt32& value) {
        return Zelk::strtovalue(UniString(text), value, Zelk::WholeTextIsNumber, Zelk::NoWhiteSpaceTrimming);
    };
    UInt32 value = 0;
    EXPECT_TRUE(parse("0", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(parse("007", value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(parse("4294967295", value));
    EXPECT_EQ(value, 4294967295u);

    for (const char* bad : {"", "4294967296", "99999999999999999999999", "-1", "+1", " 1", "1 ", "1a", "0x10",
                            "1.0", "\xd9\xa1"}) {
        value = 12345;
        EXPECT_FALSE(parse(bad, value)) << '"' << bad << '"';
        EXPECT_EQ(value, 12345u) << '"' << bad << '"';
    }
}

}  // namespace
