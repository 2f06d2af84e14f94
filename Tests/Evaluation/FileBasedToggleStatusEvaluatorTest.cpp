#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

constexpr int Failed = -7003;

// "name=status" per entry, in entry order.
Strings Entries(const FileBasedToggleStatusEvaluator& evaluator) {
    Strings entries;
    evaluator.EnumerateMappedToggleIds([&entries](const ToggleId& id, ToggleStatus status) {
        const auto& data = dynamic_cast<const FileBasedToggleIdData&>(*id.GetData());
        entries.push_back(std::string(data.GetIdString().ToCStr()) + "=" +
                          std::to_string(static_cast<int>(status)));
    });
    return entries;
}

std::string Overrides(const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ReleaseToggleOverrides>\n" + children +
           "</ReleaseToggleOverrides>\n";
}

std::string Value(const char* name, const char* status) {
    return std::string("  <OverriddenValue toggleName=\"") + name + "\" status=\"" + status + "\"/>\n";
}

TEST(FileBasedToggleStatusEvaluator, FileContentFaultsKeepTheEntriesReadBefore) {
    const std::string ab = Value("A", "Enabled") + Value("B", "Disabled");
    const struct {
        const char* what;
        std::string content;
        int code;
        Strings entries;
    } rows[] = {
        {"only the top element", "<ReleaseToggleOverrides/>", 0, {}},
        {"other top element", "<Overrides>" + Value("A", "Enabled") + "</Overrides>", Failed, {}},
        {"no element at all", "not xml", Failed, {}},
        {"unexpected element", Overrides(ab + "<Other/>" + Value("C", "Enabled")), 0, {"A=1", "B=0"}},
        {"no toggleName", Overrides(ab + "<OverriddenValue status=\"Enabled\"/>"), Failed, {"A=1", "B=0"}},
        {"non-ASCII name", Overrides(ab + Value("Caf\xC3\xA9", "Enabled")), Failed, {"A=1", "B=0"}},
        {"duplicate name", Overrides(ab + Value("A", "Disabled")), Failed, {"A=1", "B=0"}},
        {"no status", Overrides(ab + "<OverriddenValue toggleName=\"C\"/>"), Failed, {"A=1", "B=0"}},
        {"invalid status", Overrides(ab + Value("C", "On")), Failed, {"A=1", "B=0"}},
        {"names kept as written, any number",
         Overrides(Value(" A", "0x2") + Value("", " Disabled ") +
                   "<!-- note --><OverriddenValue status=\"0X1\" extra=\"x\" toggleName=\"a\"><Inner/>text"
                   "</OverriddenValue>"),
         0,
         {" A=2", "=0", "a=1"}},
    };
    const FeatureToggleTests::TemporaryDirectory folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        folder.WriteFile("overrides.xml", row.content);
        FileBasedToggleStatusEvaluator evaluator("Release");
        EXPECT_EQ(evaluator.ReadFromXMLFileIfExists(folder.GetLocation("overrides.xml")), row.code);
        EXPECT_EQ(Entries(evaluator), row.entries);
        ASSERT_TRUE(evaluator.GetXMLPath().HasValue());
        EXPECT_EQ(evaluator.GetXMLPath().Get(), folder.GetLocation("overrides.xml"));
    }
}

TEST(FileBasedToggleStatusEvaluator, FileSystemFaultsLeaveNoPath) {
    const FeatureToggleTests::TemporaryDirectory folder;
    std::filesystem::create_symlink(folder.GetPath() / "loop2", folder.GetPath() / "loop1");
    std::filesystem::create_symlink(folder.GetPath() / "loop1", folder.GetPath() / "loop2");
    std::filesystem::create_directory(folder.GetPath() / "folder.xml");

    for (const char* name : {"missing.xml", "loop1", "folder.xml"}) {
        SCOPED_TRACE(name);
        FileBasedToggleStatusEvaluator evaluator("Release");
        EXPECT_FALSE(evaluator.IsContentLoadExecuted());
        EXPECT_EQ(evaluator.ReadFromXMLFileIfExists(folder.GetLocation(name)),
                  std::string(name) == "missing.xml" ? 0 : Failed);
        EXPECT_TRUE(evaluator.IsContentLoadExecuted());
        EXPECT_FALSE(evaluator.GetXMLPath().HasValue());
    }
}

TEST(FileBasedToggleStatusEvaluator, LoadsAtMostOnceAndCopiesWhatItLoaded) {
    const FeatureToggleTests::TemporaryDirectory folder;
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
