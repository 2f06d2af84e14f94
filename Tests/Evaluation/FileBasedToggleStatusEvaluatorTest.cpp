#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "Support/HostileFiles.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using Strings = std::vector<std::string>;

constexpr int Failed = -7003;

Strings Entries(const FileBasedToggleStatusEvaluator& evaluator) {
    Strings entries;
    evaluator.EnumerateMappedToggleIds([&entries](const ToggleId& id, ToggleStatus status) {
        const auto& data = dynamic_cast<const FileBasedToggleIdData&>(*id.GetData());
        entries.push_back(std::string(data.GetIdString().ToCStr()) + "=" +
                          std::to_string(static_cast<int>(status)));
    });
    return entries;
}

std::string Value(const std::string& name, const char* status, const std::string& content = "") {
    const std::string start = "<OverriddenValue toggleName=\"" + name + "\" status=\"" + status + "\"";
    return content.empty() ? start + "/>\n" : start + ">" + content + "</OverriddenValue>\n";
}

std::string Overrides(const std::string& children, const std::string& prolog = "") {
    return prolog + "<ReleaseToggleOverrides>\n" + children + "</ReleaseToggleOverrides>\n";
}

// Each fault gets its code, keeps the entries read before it, reads nothing but the file, reaches
// no network and stays bounded.
TEST(HostileOverrideFile, EachGetsItsCodeKeepsWhatWasReadBeforeAndStaysBounded) {
    const TemporaryDirectory folder;
    const LoopbackListener listener;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    const bool linksMade = TryCreateSymlink(folder.GetPath() / "loop2", folder.GetPath() / "loop1") &&
                           TryCreateSymlink(folder.GetPath() / "loop1", folder.GetPath() / "loop2");
    std::filesystem::create_directory(folder.GetPath() / "folder.xml");
    // Puts a later fault beyond what the parser reads ahead before handing out A.
    const std::string ab = Value("A", "Enabled") + Value("B", "Disabled") + std::string(8192, ' ');
    const std::string valid = Overrides(ab);
    const std::string laughs = Doctype("ReleaseToggleOverrides", BillionLaughsSubset());
    const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
    const Strings AB{"A=1", "B=0"};

    const struct {
        const char* what;
        std::string content;
        int code;
        Strings entries;
        bool pathKept = true;
        const char* name = "overrides.xml";
        bool unreadable = false;
    } rows[] = {
        {"only the top element", "<ReleaseToggleOverrides/>", 0, {}},
        {"other top element", "<Overrides>" + Value("A", "Enabled") + "</Overrides>", Failed, {}},
        {"no element at all", "not xml", Failed, {}},
        {"empty", "", Failed, {}},
        {"unexpected element", Overrides(ab + "<Other/>" + Value("C", "Enabled")), 0, AB},
        {"no toggleName", Overrides(ab + "<OverriddenValue status=\"Enabled\"/>"), Failed, AB},
        {"non-ASCII name", Overrides(ab + Value("Caf\xC3\xA9", "Enabled")), Failed, AB},
        {"duplicate name", Overrides(ab + Value("A", "Disabled")), Failed, AB},
        {"no status", Overrides(ab + "<OverriddenValue toggleName=\"C\"/>"), Failed, AB},
        {"invalid status", Overrides(ab + Value("C", "On")), Failed, AB},
        {"names kept as written, any number",
         Overrides(Value(" A", "0x2") + Value("", " Disabled ") +
                   "<!-- note --><OverriddenValue status=\"0X1\" extra=\"x\" toggleName=\"a\"><Inner/>text"
                   "</OverriddenValue>"),
         0,
         {" A=2", "=0", "a=1"}},
        {"external entity to a local file",
         Overrides(Value("A", "Enabled", "&s;") + Value("B", "Disabled") + std::string(8192, ' ') +
                       Value("&s;", "Enabled") + Value("C", "Enabled"),
                   Doctype("ReleaseToggleOverrides", "<!ENTITY s SYSTEM \"" + secret + "\">")),
         Failed, AB},
        {"external DTD at a remote address",
         Overrides(ab, "<!DOCTYPE ReleaseToggleOverrides SYSTEM \"" + listener.Url("evil.dtd") + "\">"), 0,
         AB},
        {"entities at a remote address",
         Overrides(Value("A", "Enabled", "&r;") + Value("B", "Disabled"),
                   Doctype("ReleaseToggleOverrides", "<!ENTITY % p SYSTEM \"" + listener.Url("p.dtd") +
                                                         "\"> %p; <!ENTITY r SYSTEM \"" +
                                                         listener.Url("r.xml") + "\">")),
         0, AB},
        {"billion laughs in a name", Overrides(ab + Value("&lol9;", "Enabled"), laughs), Failed, AB},
        {"billion laughs in an entry's content",
         Overrides(ab + Value("C", "Enabled", "&lol9;") + Value("D", "Enabled"), laughs), Failed, AB},
        {"nesting within the parser's bound",
         Overrides(ab + Value("C", "Enabled", DeepNesting(200)) + Value("D", "Disabled")),
         0,
         {"A=1", "B=0", "C=1", "D=0"}},
        {"nesting beyond the parser's bound",
         Overrides(ab + Value("C", "Enabled", DeepNesting(100000)) + Value("D", "Disabled")),
         Failed,
         {"A=1", "B=0", "C=1"}},
        {"invalid UTF-8 in a name", Overrides(ab + Value("C\xC3\x28", "Enabled")), Failed, AB},
        {"a NUL byte in a name", Overrides(ab + Value(std::string("C\0D", 3), "Enabled")), Failed, AB},
        {"UTF-16 with a byte-order mark", Utf16(Overrides(ab, utf16)), 0, AB},
        {"UTF-16 that does not decode", Utf16(Overrides(ab + "\x01" + Value("C", "Enabled"), utf16)), Failed,
         AB},
        {"Latin-1 with a non-ASCII name",
         Overrides(ab + Value("Caf\xE9", "Enabled"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
         Failed, AB},
        {"truncated after valid entries", valid.substr(0, valid.find("</Release")) + "<Overridd", Failed, AB},
        {"no read permission", valid, Failed, {}, false, "overrides.xml", true},
        {"missing", "", 0, {}, false, "missing.xml"},
        {"symbolic link loop", "", Failed, {}, false, "loop1"},
        {"a folder", "", Failed, {}, false, "folder.xml"},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const IO::Location location = folder.GetLocation(row.name);
        const std::filesystem::path file = folder.GetPath() / row.name;
        if (row.name == std::string("overrides.xml")) {
            folder.WriteFile(row.name, row.content);
        }
        if (row.name == std::string("loop1") && !linksMade) {
            continue;
        }
        FileBasedToggleStatusEvaluator evaluator("Release");
        EXPECT_FALSE(evaluator.IsContentLoadExecuted());
        int code = 0;
        if (!ReadHostile(file, row.unreadable, [&] { code = evaluator.ReadFromXMLFileIfExists(location); })) {
            continue;
        }
        EXPECT_TRUE(evaluator.IsContentLoadExecuted());
        EXPECT_EQ(code, row.code);
        EXPECT_EQ(Entries(evaluator), row.entries);
        EXPECT_EQ(evaluator.GetXMLPath(),
                  row.pathKept ? Zelk::Optional(location) : Zelk::Optional<IO::Location>());
        EXPECT_EQ(testing::PrintToString(Entries(evaluator)).find("TOPSECRET"), std::string::npos);
    }
    EXPECT_EQ(listener.GetConnections(), 0);
}

TEST(HostileOverrideFile, AFiftyMegabyteFileIsStreamed) {
    const TemporaryDirectory folder;
    const std::filesystem::path file = folder.GetPath() / "overrides.xml";
    FileBasedToggleStatusEvaluator evaluator("Release");
    // The bulk sits inside an entry, so the reader has to get through all of it to the last one.
    ExpectFiftyMegabytesStreamed(
        file,
        "<ReleaseToggleOverrides>\n" + Value("First", "Enabled") +
            "<OverriddenValue toggleName=\"Big\" status=\"Disabled\">\n",
        "  <Ignored note=\"filler filler filler\">text text text<!-- comment --></Ignored>\n",
        "</OverriddenValue>\n" + Value("Last", "Enabled") + "</ReleaseToggleOverrides>\n",
        [&] { EXPECT_EQ(evaluator.ReadFromXMLFileIfExists(IO::Location(file)), 0); });
    EXPECT_EQ(Entries(evaluator), (Strings{"First=1", "Big=0", "Last=1"}));
}

TEST(FileBasedToggleStatusEvaluator, LoadsAtMostOnceAndCopiesWhatItLoaded) {
    const TemporaryDirectory folder;
    folder.WriteFile("overrides.xml", Overrides(Value("A", "Enabled")));

    FileBasedToggleStatusEvaluator missingFirst("Release");
    EXPECT_EQ(missingFirst.ReadFromXMLFileIfExists(folder.GetLocation("missing.xml")), 0);
    EXPECT_EQ(missingFirst.ReadFromXMLFileIfExists(folder.GetLocation("overrides.xml")), Failed);
    EXPECT_TRUE(Entries(missingFirst).empty());
    EXPECT_FALSE(missingFirst.GetXMLPath().HasValue());

    FileBasedToggleStatusEvaluator loaded("Release");
    EXPECT_EQ(loaded.ReadFromXMLFileIfExists(folder.GetLocation("overrides.xml")), 0);
    const FileBasedToggleStatusEvaluator copy(loaded);
    EXPECT_EQ(Entries(copy), (Strings{"A=1"}));
    EXPECT_EQ(copy.GetXMLPath().Get(), folder.GetLocation("overrides.xml"));
    EXPECT_TRUE(copy.IsContentLoadExecuted());
    EXPECT_EQ(copy.EvaluateToggleStatus(ToggleId(FileBasedToggleIdData("Release", "A"))),
              Zelk::Optional<ToggleStatus>(ToggleStatus::Enabled));
    EXPECT_FALSE(copy.EvaluateToggleStatus(ToggleId(FileBasedToggleIdData("Debug", "A"))).HasValue());
}

TEST(FileBasedToggleStatusEvaluator, ReadsFromAChannelWithoutAPathAndRecordsInvalidStatusTexts) {
    const std::string document = Overrides(Value("A", " Disabled |") + Value("B", "enabled"));
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannelFromMemory(document.data(), document.size()));
    FileBasedToggleStatusEvaluator evaluator("Release");
    EXPECT_EQ(evaluator.ReadFromXMLChannel(*channel), Failed);
    EXPECT_EQ(Entries(evaluator), (Strings{"A=0"}));
    EXPECT_FALSE(evaluator.GetXMLPath().HasValue());
    EXPECT_EQ(channel->GetRecordedErrors(), (Strings{"Invalid value for NamedEnumType: \"enabled\""}));
    EXPECT_EQ(evaluator.ReadFromXMLChannel(*channel), Failed);
}

}  // namespace
