#include <gtest/gtest.h>

#include <algorithm>

#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

class ReleaseToggleTest : public ::testing::Test {
protected:
    void WriteOverrides(const std::string& elements) {
        folder.WriteFile("ReleaseToggleOverrides.xml",
                         "<ReleaseToggleOverrides>" + elements + "</ReleaseToggleOverrides>");
    }
    static std::string Queried(const char* name) {
        return "[Release]  name=\"" + std::string(name) + "\" was queried before evaluation.";
    }

    TemporaryDirectory folder;
    ScopedOverrideFolder overrideFolder{folder.GetPath()};
    ScopedLogCapture log;
    ScopedBugReportCapture reports;
};

}  // namespace

TEST_F(ReleaseToggleTest, LoadAppliesTheFileToLiveAndLaterToggles) {
    WriteOverrides(R"(<OverriddenValue toggleName="Importer" status="Enabled"/>
                      <OverriddenValue toggleName="Exporter" status="Disabled"/>
                      <OverriddenValue toggleName="Late" status="Enabled"/>
                      <OverriddenValue toggleName="Two" status="0x2"/>
                      <OverridenValue toggleName="Misspelt" status="Enabled"/>)");
    ReleaseToggle importer("Importer", Off);
    // Toggles of one name take the file's status if it names them, else each its own default.
    ReleaseToggle importerTwin("Importer", Off);
    ReleaseToggle exporter("Exporter", Off);
    ReleaseToggle exporterTwin("Exporter", ToggleDefaultStatus::Enabled);
    ReleaseToggle unlisted("Unlisted", ToggleDefaultStatus::Enabled);
    ReleaseToggle unlistedTwin("Unlisted", Off);
    ReleaseToggle two("Two", ToggleDefaultStatus::Enabled);

    EXPECT_FALSE(GetReleaseOverrideLoadOutcome().loadAttempted);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    EXPECT_TRUE(IsToggleEnabled(importer));
    EXPECT_TRUE(IsToggleEnabled(importerTwin));
    EXPECT_FALSE(IsToggleEnabled(exporter) || IsToggleEnabled(exporterTwin));
    EXPECT_TRUE(ToggleAccessor::IsDefaultValueOverridden(exporter));
    EXPECT_TRUE(IsToggleEnabled(unlisted));
    EXPECT_FALSE(ToggleAccessor::IsDefaultValueOverridden(unlisted));
    EXPECT_FALSE(IsToggleEnabled(unlistedTwin));
    // Any status but 1 is Disabled, at the first query (out of line) and at later ones (inline).
    EXPECT_FALSE(IsToggleEnabled(two));
    EXPECT_FALSE(IsToggleEnabled(two));
    ReleaseToggle late("Late", Off);
    EXPECT_TRUE(IsToggleEnabled(late));
    EXPECT_TRUE(reports.messages.empty());
    ASSERT_EQ(log.entries.size(), 5u);
    EXPECT_EQ(log.entries[0], "4 ReleaseToggle statuses overridden by config file");

    // The misspelt element ends the read quietly; the outcome still tells.
    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_TRUE(outcome.loadAttempted && outcome.fileExists);
    EXPECT_EQ(outcome.folder, folder.GetPath().string());
    EXPECT_EQ(outcome.file, (folder.GetPath() / "ReleaseToggleOverrides.xml").string());
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.entriesApplied, 4u);
    EXPECT_EQ(outcome.togglesSetByFile, 5u);  // the twins count; Late was not live at the load
    EXPECT_EQ(outcome.reason, "");
    EXPECT_EQ(outcome.unreadElement, "OverridenValue");
    EXPECT_EQ(outcome.unreadElementLine, 5);
}

TEST_F(ReleaseToggleTest, QueriedTogglesAreReportedAtEveryLoad) {
    WriteOverrides(R"(<OverriddenValue toggleName="Importer" status="Enabled"/>)");
    ReleaseToggle importer("Importer", Off);
    ReleaseToggle exporter("Exporter", Off);
    IsToggleEnabled(importer);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    EXPECT_EQ(reports.messages, std::vector<std::string>{Queried("Importer")});

    // A second load reads nothing: it fails, changes no status and reports again.
    IsToggleEnabled(exporter);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    std::vector<std::string> messages = reports.messages;
    ASSERT_EQ(messages.size(), 4u);
    std::sort(messages.begin() + 2, messages.end());
    EXPECT_EQ(messages, (std::vector<std::string>{Queried("Importer"), "Invalid Release Toggle override file",
                                                  Queried("Exporter"), Queried("Importer")}));
    EXPECT_TRUE(IsToggleEnabled(importer));
    EXPECT_EQ(log.entries.size(), 4u);  // each load logs the header and the one entry
}

// The file system cannot tell whether the file is there: a failed load, not a missing file. The
// load sets nothing, and its log still says so.
TEST_F(ReleaseToggleTest, LinkLoopAtTheFilesPlaceFailsTheLoad) {
#if defined(_WIN32)
    GTEST_SKIP() << "Wine makes no symbolic link loops";
#else
    std::filesystem::create_symlink("ReleaseToggleOverrides.xml",
                                    folder.GetPath() / "ReleaseToggleOverrides.xml");
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    EXPECT_EQ(reports.messages, std::vector<std::string>{"Invalid Release Toggle override file"});
    EXPECT_EQ(log.entries, std::vector<std::string>{"0 ReleaseToggle statuses overridden by config file"});
    EXPECT_EQ(GetReleaseOverrideLoadOutcome().result, -7003);
    EXPECT_EQ(GetReleaseOverrideLoadOutcome().fault.fault, OverrideFileFault::FileSystemQueryFailed);
#endif
}
