#include <memory>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileReader.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "Support/MemoryLimit.hpp"
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

// Each fault gets its code and keeps exactly the entries read before it; nothing but the file is
// read and nothing is printed.
TEST(OverrideFile, EachFaultGetsItsCodeAndKeepsOnlyWhatWasReadBefore) {
    const TemporaryDirectory folder;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    std::filesystem::create_directory(folder.GetPath() / "folder.xml");
    std::error_code noLinks;
    std::filesystem::create_symlink("loop.xml", folder.GetPath() / "loop.xml", noLinks);
    // Puts a later fault beyond what the parser reads ahead before handing out A.
    const std::string ab = Value("A", "Enabled") + Value("B", "Disabled") + std::string(8192, ' ');
    const std::string valid = Overrides(ab);
    const std::string laughs = Doctype("ReleaseToggleOverrides", BillionLaughsSubset());
    const Strings AB{"A=1", "B=0"};

    const struct {
        const char* what;
        std::string content;
        int code;
        Strings entries;
        const char* name = "overrides.xml";
        OverrideFileFault fault = OverrideFileFault::None;  // checked when not None
    } rows[] = {
        {"only the top element", "<ReleaseToggleOverrides/>", 0, {}},
        {"other top element", "<Overrides>" + Value("A", "Enabled") + "</Overrides>", Failed, {}},
        {"unexpected element ends the list", Overrides(ab + "<Other/>" + Value("C", "Enabled")), 0, AB},
        {"no toggleName", Overrides(ab + "<OverriddenValue status=\"Enabled\"/>" + Value("C", "Enabled")),
         Failed, AB},
        {"non-ASCII name", Overrides(ab + Value("Caf\xC3\xA9", "Enabled")), Failed, AB},
        {"duplicate name", Overrides(ab + Value("A", "Disabled") + Value("C", "Enabled")), Failed, AB},
        {"no status", Overrides(ab + "<OverriddenValue toggleName=\"C\"/>"), Failed, AB},
        {"invalid status", Overrides(ab + Value("C", "On") + Value("D", "Enabled")), Failed, AB},
        {"names kept as written, any number",
         Overrides(Value(" A", "0x2") + Value("", " Disabled ") +
                   "<!-- note --><OverriddenValue status=\"0X1\" extra=\"x\" toggleName=\"a\"><Inner/>text"
                   "</OverriddenValue>"),
         0,
         {" A=2", "=0", "a=1"}},
        {"external entity to a local file",
         Overrides(ab + Value("&s;", "Enabled") + Value("C", "Enabled"),
                   Doctype("ReleaseToggleOverrides", "<!ENTITY s SYSTEM \"" + secret + "\">")),
         Failed, AB},
        {"billion laughs", Overrides(ab + Value("C", "Enabled", "&lol9;") + Value("D", "Enabled"), laughs),
         Failed, AB},
        {"truncated after valid entries", valid.substr(0, valid.find("</Release")) + "<Overridd", Failed, AB},
        // The parser gets 512 bytes at a time, and the reader hands on nothing of a malformed piece.
        {"NUL in the piece of the entries", Overrides(Value("A", "Enabled") + '\0'), Failed, {}},
        {"missing", "", 0, {}, "missing.xml"},
        {"a folder", "", Failed, {}, "folder.xml", OverrideFileFault::CannotOpen},
        {"a link to itself",
         "",
         noLinks ? 0 : Failed,
         {},
         "loop.xml",
         noLinks ? OverrideFileFault::None : OverrideFileFault::FileSystemQueryFailed},
        {"a name that is not UTF-8", "", Failed, {}, "\xC0\xAF.xml", OverrideFileFault::LocationNotUtf8},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const IO::Location location((Utf8FromPath(folder.GetPath()) + '/' + row.name).c_str());
        const bool written = row.name == std::string("overrides.xml");
        if (written) {
            folder.WriteFile(row.name, row.content);
        }
        FileBasedToggleStatusEvaluator evaluator("Release");
        int code = 0;
        OverrideFileReadRecord record;
        ReadQuietly([&] { code = evaluator.ReadFromXMLFileIfExists(location, record); });
        EXPECT_EQ(code, row.code);
        if (row.fault != OverrideFileFault::None) {
            EXPECT_EQ(record.fault.fault, row.fault);
        }
        EXPECT_EQ(Entries(evaluator), row.entries);
        // The path of an opened file is kept, also when its content is bad.
        EXPECT_EQ(evaluator.GetXMLPath(),
                  written ? Zelk::Optional(location) : Zelk::Optional<IO::Location>());
    }
}

// Every override or preference file up to 10 MB reads within 64 MB and four times its size, those
// whose entities expand into millions of parser errors included.
TEST(OverrideFile, AndPreferenceFilesReadWithinTheirMemoryBound) {
    if (const std::string reason = MemoryLimitUnavailable(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    const TemporaryDirectory folder;
    std::vector<std::pair<bool, std::string>> files;  // preferences or overrides, and the content
    for (const int depth : {4, 8, 10, 12}) {
        files.emplace_back(false, Overrides(Value(HostileReference(depth), "Enabled"),
                                            HostileDoctype("ReleaseToggleOverrides", depth)));
        files.emplace_back(true, HostileDoctype("Preferences", depth) +
                                     "<Preferences><Value domain=\"1\" path=\"" + HostileReference(depth) +
                                     "\" name=\"N\">1</Value></Preferences>");
    }
    std::string overrides;
    std::string preferences;
    for (int entry = 0; overrides.size() < (10u << 20); ++entry) {
        overrides += Value("Toggle." + std::to_string(entry), entry % 2 == 0 ? "Enabled" : "Disabled");
        if (preferences.size() < (4u << 20) - 64) {  // the store reads files of up to 4 MiB
            preferences += "<Value domain=\"1\" path=\"P\" name=\"" + std::to_string(entry) + "\">1</Value>";
        }
    }
    files.emplace_back(false, Overrides(overrides));
    files.emplace_back(true, "<Preferences>" + preferences + "</Preferences>");
    files.emplace_back(true, "<Preferences>" + overrides + "</Preferences>");  // larger, refused

    for (const auto& [isPreferences, content] : files) {
        const bool expectRead = content.size() > 10000;
        SCOPED_TRACE(content.substr(0, 120));
        const std::filesystem::path file = folder.WriteFile("file.xml", content);
        EXPECT_EQ(RunWithMemoryLimit((64u << 20) + 4 * content.size(),
                                     [&, isPreferences = isPreferences] {
                                         if (isPreferences) {
                                             ZelkPref::Host::LoadPreferenceFile(Utf8FromPath(file).c_str());
                                             return true;
                                         }
                                         FileBasedToggleStatusEvaluator evaluator("Release");
                                         const int code =
                                             evaluator.ReadFromXMLFileIfExists(IO::Location(file));
                                         return code == (expectRead ? 0 : Failed);
                                     }),
                  "");
    }
}

TEST(FileBasedToggleStatusEvaluator, LoadsAtMostOnceFromAFileOrAChannel) {
    const TemporaryDirectory folder;
    folder.WriteFile("overrides.xml", Overrides(Value("A", "Enabled")));

    FileBasedToggleStatusEvaluator missingFirst("Release");
    EXPECT_FALSE(missingFirst.IsContentLoadExecuted());
    EXPECT_EQ(missingFirst.ReadFromXMLFileIfExists(folder.GetLocation("missing.xml")), 0);
    EXPECT_TRUE(missingFirst.IsContentLoadExecuted());
    EXPECT_EQ(missingFirst.ReadFromXMLFileIfExists(folder.GetLocation("overrides.xml")), Failed);
    EXPECT_TRUE(Entries(missingFirst).empty());
    EXPECT_FALSE(missingFirst.GetXMLPath().HasValue());

    // A channel has no path, and is read once too.
    const std::string document = Overrides(Value("B", "Disabled"));
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannelFromMemory(document.data(), document.size()));
    FileBasedToggleStatusEvaluator fromChannel("Release");
    EXPECT_EQ(fromChannel.ReadFromXMLChannel(*channel), 0);
    EXPECT_EQ(fromChannel.ReadFromXMLChannel(*channel), Failed);
    EXPECT_EQ(Entries(fromChannel), (Strings{"B=0"}));
    EXPECT_FALSE(fromChannel.GetXMLPath().HasValue());
}

}  // namespace
