#include <memory>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "Support/TestSupport.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

// A peek as text: the tag name, "<end>" or "<failed>".
std::string Peek(Zelk::XMLIChannel& channel) {
    Zelk::UniString name;
    const int result = channel.PeekNextTagName(name);
    return result == 1 ? name.ToCStr() : result == 2 ? "<end>" : "<failed>";
}

std::string StartTag(Zelk::XMLIChannel& channel) {
    Zelk::UniString name;
    return channel.ReadStartTagName(name) == 1 ? name.ToCStr() : "<failed>";
}

std::string Attribute(Zelk::XMLIChannel& channel, const char* name) {
    Zelk::UniString value;
    return channel.ReadAttribute(name, value) == 0 ? value.ToCStr() : "<absent>";
}

class ZelkXMLChannel : public ::testing::Test {
protected:
    std::unique_ptr<Zelk::XMLIChannel> OpenFile(const std::string& name) const {
        return std::unique_ptr<Zelk::XMLIChannel>(ZelkXML::CreateXMLIChannel(
            folder.GetLocation(name), Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    }
    std::unique_ptr<Zelk::XMLIChannel> Open(const std::string& content) const {
        folder.WriteFile("document.xml", content);
        return OpenFile("document.xml");
    }

    const ZelkXML::XercescInitializer initializer;
    const FeatureToggleTests::TemporaryDirectory folder;
};

TEST_F(ZelkXMLChannel, ReadsElementsAndPassesOverTheRest) {
    const auto channel = Open(
        "<?xml version=\"1.0\"?>\n<!-- before -->\n<Root version=\"1\">\n  <!-- comment -->\n  <?pi data?>\n"
        "  text <![CDATA[ <NotATag/> ]]>\n  <Item status=\"Enabled\" toggleName=\"A\"/>\n"
        "  <Item toggleName=\"B\" status=\"Disabled\"></Item>\n</Root>\n");
    ASSERT_NE(channel, nullptr);
    ASSERT_EQ(StartTag(*channel), "Root");
    EXPECT_EQ(Attribute(*channel, "version"), "1");
    EXPECT_EQ(Attribute(*channel, "missing"), "<absent>");
    EXPECT_EQ(Peek(*channel), "Item");
    EXPECT_EQ(Peek(*channel), "Item");
    for (const char* toggleName : {"A", "B"}) {
        const Zelk::XMLITag item(*channel, "Item");
        ASSERT_TRUE(item.IsEntered());
        EXPECT_EQ(Attribute(*channel, "toggleName"), toggleName);
        EXPECT_TRUE(channel->HasAttribute("status"));
        EXPECT_FALSE(channel->HasAttribute("version"));
        EXPECT_EQ(Peek(*channel), "<end>");
    }
    EXPECT_EQ(Peek(*channel), "<end>");
    EXPECT_TRUE(channel->GetRecordedErrors().empty());
}

TEST_F(ZelkXMLChannel, AttributesOfEveryFormStayReadableInsideTheirElement) {
    const auto channel = Open(
        "<Root><Item xmlns:p=\"urn:p\" empty=\"\" text=\"a&amp;b&#x41;\" "
        "p:name=\"3\"><Child/></Item></Root>");
    ASSERT_EQ(StartTag(*channel), "Root");
    const Zelk::XMLITag item(*channel, "Item");
    for (int pass = 0; pass < 2; ++pass) {  // on the element, then with the reader inside it
        EXPECT_EQ(Attribute(*channel, "xmlns:p"), "urn:p");
        EXPECT_EQ(Attribute(*channel, "empty"), "");
        EXPECT_EQ(Attribute(*channel, "text"), "a&bA");
        EXPECT_EQ(Attribute(*channel, "p:name"), "3");
        EXPECT_EQ(Peek(*channel), "Child");
    }
}

TEST_F(ZelkXMLChannel, LeavingSkipsWhatWasNotRead) {
    const auto channel = Open(
        "<Root><Outer><Inner><Deep/>text<Deep><Deeper/></Deep></Inner></Outer>"
        "<Outer a=\"2\"><Inner><Deep/></Inner><Last/></Outer><Next/></Root>");
    ASSERT_EQ(StartTag(*channel), "Root");
    { const Zelk::XMLITag outer(*channel, "Outer"); }  // nothing inside read
    {
        const Zelk::XMLITag outer(*channel, "Outer");
        EXPECT_EQ(Peek(*channel), "Inner");
        EXPECT_EQ(Attribute(*channel, "a"), "2");  // still this element's, not the peeked child's
        const Zelk::XMLITag inner(*channel, "Inner");
    }
    EXPECT_EQ(Peek(*channel), "Next");
}

TEST_F(ZelkXMLChannel, MalformedDocumentFailsTheReadThatMeetsTheFault) {
    EXPECT_EQ(StartTag(*Open("<Root><Item></Root>")), "<failed>");
    const auto channel = Open("<Root>\n<Item/>\n" + std::string(8192, ' ') + "\n<Item>\n</Root>\n");
    ASSERT_EQ(StartTag(*channel), "Root");
    EXPECT_EQ(Peek(*channel), "Item");
    { const Zelk::XMLITag item(*channel, "Item"); }
    EXPECT_EQ(Peek(*channel), "<failed>");
    ASSERT_FALSE(channel->GetRecordedErrors().empty());
    EXPECT_EQ(channel->GetRecordedErrors().front().rfind("line 5: ", 0), 0u)
        << channel->GetRecordedErrors().front();
}

// An undeclared entity under an external DTD is an error the parser recovers from: one costs no
// node, but a flood of them stops the parser. Only the first error is kept.
TEST_F(ZelkXMLChannel, RecoversFromAnErrorAndStopsAtAFlood) {
    const auto recovered = Open("<!DOCTYPE Root SYSTEM \"none.dtd\">\n<Root><A a=\"&u;\"/>\n<B/></Root>");
    ASSERT_EQ(StartTag(*recovered), "Root");
    for (const char* name : {"A", "B"}) {
        ASSERT_EQ(Peek(*recovered), name);
        const Zelk::XMLITag element(*recovered, name);
    }
    EXPECT_EQ(Peek(*recovered), "<end>");
    EXPECT_EQ(recovered->GetRecordedErrors(), std::vector<std::string>{"line 2: Entity 'u' not defined"});

    const auto flooded = Open(FeatureToggleTests::HostileDoctype("Root", 10) + "<Root a=\"" +
                              FeatureToggleTests::HostileReference(10) + "\"/>");
    EXPECT_EQ(StartTag(*flooded), "<failed>");
    EXPECT_EQ(flooded->GetRecordedErrors().size(), 1u);
}

// Elements keep their line in 16 bits; the channel knows the true one.
TEST_F(ZelkXMLChannel, LinesPastTheSixteenBitRange) {
    const auto channel = Open("<Root>" + std::string(70001, '\n') + "<Item/>\n<Item\n/>\n</Root>\n");
    ASSERT_EQ(StartTag(*channel), "Root");
    for (const int line : {70002, 70004}) {
        ASSERT_EQ(Peek(*channel), "Item");
        EXPECT_EQ(ZelkXML::GetCurrentLineNumber(*channel), line);
        const Zelk::XMLITag item(*channel, "Item");
    }
}

TEST_F(ZelkXMLChannel, OpensNeitherAMissingFileNorAFifo) {
    EXPECT_EQ(OpenFile("missing.xml"), nullptr);
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no FIFOs among files: its named pipes live apart, under \\\\.\\pipe\\";
#else
    ASSERT_EQ(::mkfifo((folder.GetPath() / "fifo.xml").c_str(), 0600), 0);
    EXPECT_EQ(OpenFile("fifo.xml"), nullptr);  // would block until written
#endif
}

}  // namespace
