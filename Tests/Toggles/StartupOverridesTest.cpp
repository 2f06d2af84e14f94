#include <gtest/gtest.h>

#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "FeatureToggle/Toggles/StartupOverrides.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using Names = std::vector<std::string>;

namespace {

struct ScopedEnvironment : Pinned {
    ScopedEnvironment(const std::string& enable, const std::string& disable) {
        SetEnvironment("FEATURETOGGLE_ENABLE", enable);
        SetEnvironment("FEATURETOGGLE_DISABLE", disable);
    }
    ~ScopedEnvironment() {
        SetEnvironment("FEATURETOGGLE_ENABLE", ""), SetEnvironment("FEATURETOGGLE_DISABLE", "");
    }
};

// "name status source" per live toggle, in the listing's order.
Names Listed() {
    Names listed;
    for (const LiveToggleRecord& record : ListLiveToggles()) {
        listed.push_back(record.name + (record.currentStatus == ToggleStatus::Enabled ? " on " : " off ") +
                         GetToggleStatusSourceName(record.source));
    }
    return listed;
}

}  // namespace

TEST(StartupOverrides, TestGuardThenCommandLineThenEnvironmentThenFileThenDefault) {
    const TemporaryDirectory folder;
    folder.WriteFile("ReleaseToggleOverrides.xml", R"(<ReleaseToggleOverrides>
        <OverriddenValue toggleName="File" status="Enabled"/><OverriddenValue toggleName="Env" status="Enabled"/>
        <OverriddenValue toggleName="Cmd" status="Disabled"/></ReleaseToggleOverrides>)");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    const ScopedLogCapture log;
    const ScopedBugReportCapture reports;
    // Each name is the highest source that sets it.
    ReleaseToggle plain("Plain", Off), file("File", Off), env("Env", Off), cmd("Cmd", Off), both("Both", Off);
    ReleaseToggle test("Test", Off);
    const Testing::OverrideToggleValueGuard guard(test, ToggleStatus::Disabled);
    const char* const argv[] = {"host", "--enable-toggles=Cmd,Both,Test", "--own-option",
                                "--disable-toggles=Both", "--enable-toggles=Late"};
    ReadToggleOverridesFromCommandLine(5, argv);
    const ScopedEnvironment environment("Nobody", "Env,Cmd");
    ReadToggleOverridesFromEnvironment();

    // Like the file's, they wait for the load.
    EXPECT_EQ(Listed(), (Names{"Both off default", "Cmd off default", "Env off default", "File off default",
                               "Plain off default", "Test off test"}));
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    ReleaseToggle late("Late", Off);
    EXPECT_EQ(Listed(), (Names{"Both off commandLine", "Cmd on commandLine", "Env off environment",
                               "File on file", "Late on commandLine", "Plain off default", "Test off test"}));
    EXPECT_TRUE(IsToggleEnabled(late));

    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_EQ(outcome.commandLine.enabled, (Names{"Cmd", "Test", "Late"}));
    EXPECT_EQ(outcome.commandLine.disabled, Names{"Both"});
    EXPECT_EQ(outcome.commandLine.givenBothWays, Names{"Both"});
    EXPECT_EQ(outcome.environment.enabled, Names{"Nobody"});
    EXPECT_EQ(outcome.environment.disabled, (Names{"Env", "Cmd"}));
    EXPECT_EQ(outcome.unmatchedStartupOverrides, (Names{"Late", "Nobody"}));
    // The override log and the error reports tell of the file only, as without them.
    EXPECT_EQ(log.entries.front(), "3 ReleaseToggle statuses overridden by config file");
    EXPECT_TRUE(reports.messages.empty());
}

TEST(StartupOverrides, MalformedArgumentsAreReportedAndChangeNothing) {
    const ScopedBugReportCapture reports;
    const ScopedLogCapture log;
    ReleaseToggle a("A", Off), b("B", Off);
    const char* const argv[] = {"host",
                                "--enable-toggles=A,,B",
                                "--enable-toggles=",
                                "--disable-toggles=B,Caf\xc3\xa9",
                                "--enable-toggles",
                                "--enable-toggles-elsewhere=B",
                                "--enable-toggles=B"};
    ReadToggleOverridesFromCommandLine(7, argv);
    const ScopedEnvironment environment("A,\tB", "");
    ReadToggleOverridesFromEnvironment();
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    ReadToggleOverridesFromCommandLine(2, argv);

    const std::string prefix = "Toggle override \"";
    EXPECT_EQ(
        reports.messages,
        (Names{prefix + "--enable-toggles=A,,B\" ignored: a toggle name is empty",
               prefix + "--enable-toggles=\" ignored: a toggle name is empty",
               prefix + "--disable-toggles=B,Caf\xc3\xa9\" ignored: a toggle name has a character other than "
                        "printable ASCII",
               prefix + "--enable-toggles\" ignored: expected --enable-toggles=NAME[,NAME...]",
               prefix + "FEATURETOGGLE_ENABLE=A,\tB\" ignored: a toggle name has a character other than "
                        "printable ASCII",
               prefix +
                   "--enable-toggles=A,,B\" ignored: given after the release toggle overrides were loaded"}));
    EXPECT_EQ(Listed(), (Names{"A off default", "B on commandLine"}));
}
