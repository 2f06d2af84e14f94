#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/XMLInput.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

enum class Status : Zelk::UInt32 { Disabled = 0, Enabled = 1 };

std::optional<Zelk::UInt32> Parse(const char* text) {
    const char* const names[] = {"Enabled", "Disabled"};
    const Zelk::UInt32 values[] = {1, 0};
    Zelk::UInt32 value = 0;
    if (!ZelkXML::Detail::ParseNamedEnumText(Zelk::UniString(text), "|", names, values, 2, value)) {
        return std::nullopt;
    }
    return value;
}

TEST(ZelkXMLNamedEnum, StatusTextGrammar) {
    // Unicode white space (no-break, ideographic, line separator) is trimmed; zero-width space is not.
    // Hexadecimal takes blanks after the prefix, a sign and a second prefix, and is judged by value.
    // clang-format off
    const std::pair<const char*, Zelk::UInt32> valid[] = {
        {"Enabled", 1},   {" Disabled ", 0},    {"\tEnabled\n", 1},  {"\u00a0\u3000Enabled\u2028", 1},
        {"Disabled|", 0}, {" | Enabled | ", 1}, {"Enabled|junk", 1}, {"0x1", 1},
        {"0X1", 1},       {"0x1g", 1},          {"0x2", 2},          {"0x0", 0},
        {"007", 7},       {"4294967295", ~0U},  {"0x 1", 1},         {"0x\t+1", 1},
        {"0x0x1", 1},     {"0x0Xg", 0},         {"0x-1", ~0U},       {"0x-FFFFFFFF", 1},
        {"0x-0x1", ~0U},  {"0xFFFFFFFF", ~0U},  {"0x00000000000000001", 1}, {"Enabled|0x100000001", 1}};
    for (const auto& [text, value] : valid) {
        EXPECT_EQ(Parse(text), value) << '"' << text << '"';
    }
    for (const char* text : {"Enabled|Disabled", "Enabled|0x1", "|", "enabled", "", "4294967296", "0x", "+1",
                             "-1", "1a", "1.0", "\xd9\xa1", "\u200bEnabled", "Enabled Disabled", "0x100000001",
                             "0x-100000001", "0xFFFFFFFFFFFFFFFFF", "0x- 1", "0x+-1", "0xg", "0xx1"}) {
        // clang-format on
        EXPECT_EQ(Parse(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(ZelkXMLNamedEnum, ReadRecordsInvalidTextsOnTheChannel) {
    const ZelkXML::XercescInitializer initializer;
    const std::string document = "<Root bad=\" enabled \"/>";
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannelFromMemory(document.data(), document.size()));
    Zelk::UniString root;
    ASSERT_EQ(channel->ReadStartTagName(root), 1);

    const ZelkXML::NamedEnumItem<Status> items[] = {{Status::Enabled, "Enabled"},
                                                    {Status::Disabled, "Disabled"}};
    const ZelkXML::NamedEnumType<Status> type(items, "|");
    // The message holds the text as read, blanks included; the value falls back to the first item.
    Status status = Status::Disabled;
    EXPECT_EQ(type.Read(*channel, "bad", status), ZelkXML::InvalidValueCode);
    EXPECT_EQ(status, Status::Enabled);
    EXPECT_EQ(channel->GetRecordedErrors(),
              std::vector<std::string>{"Invalid value for NamedEnumType: \" enabled \""});
}

}  // namespace
