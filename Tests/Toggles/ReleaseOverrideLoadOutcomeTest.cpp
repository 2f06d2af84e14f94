#include <gtest/gtest.h>

#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

class ReleaseOverrideLoadOutcomeTest : public ::testing::Test {
protected:
    TemporaryDirectory folder;
    ScopedLogCapture log;
    ScopedBugReportCapture reports;
};

}  // namespace

TEST_F(ReleaseOverrideLoadOutcomeTest, SaysWhereItLookedAndWhatItApplied) {
    EXPECT_FALSE(GetReleaseOverrideLoadOutcome().loadAttempted);
    folder.WriteFile("ReleaseToggleOverrides.xml", R"(<ReleaseToggleOverrides>
  <OverriddenValue toggleName="A" status="Enabled"/>
  <OverridenValue toggleName="B" status="Enabled"/>
</ReleaseToggleOverrides>)");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();

    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_TRUE(outcome.loadAttempted);
    EXPECT_EQ(outcome.folder, folder.GetPath().string());
    EXPECT_EQ(outcome.file, (folder.GetPath() / "ReleaseToggleOverrides.xml").string());
    EXPECT_TRUE(outcome.fileExists);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.entriesApplied, 1u);
    EXPECT_EQ(outcome.fault.fault, OverrideFileFault::None);
    EXPECT_EQ(outcome.reason, "");
    // The misspelt element ends the read quietly; the outcome still tells.
    EXPECT_EQ(outcome.unreadElement, "OverridenValue");
    EXPECT_EQ(outcome.unreadElementLine, 3);
}

TEST_F(ReleaseOverrideLoadOutcomeTest, AFailedReadGivesTheFaultItsLineAndTheReason) {
    folder.WriteFile("ReleaseToggleOverrides.xml", R"(<ReleaseToggleOverrides>
  <OverriddenValue toggleName="A" status="Enabled"/>

  <OverriddenValue toggleName="B" status="on"/>
</ReleaseToggleOverrides>)");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();

    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_EQ(outcome.result, -7003);
    EXPECT_EQ(outcome.entriesApplied, 1u);
    EXPECT_EQ(outcome.fault.fault, OverrideFileFault::InvalidStatus);
    EXPECT_EQ(outcome.fault.line, 4);
    EXPECT_EQ(outcome.reason,
              "the status \"on\" of \"B\" is not valid: write exactly one of Enabled, Disabled or "
              "a number (such as 0x1)");
    // The report itself keeps its text.
    EXPECT_EQ(reports.GetMessages(), std::vector<std::string>{"Invalid Release Toggle override file"});
}

TEST_F(ReleaseOverrideLoadOutcomeTest, AMissingFileIsNoFault) {
    const ScopedOverrideFolder overrideFolder(folder.GetPath() / "absent");
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();

    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_EQ(outcome.folder, (folder.GetPath() / "absent").string());
    EXPECT_FALSE(outcome.fileExists);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.entriesApplied, 0u);
}
