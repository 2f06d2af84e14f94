#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/ErrorReportObserver.hpp"
#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

TEST(LiveToggles, ListsEveryIdentityOnceWithoutMarkingItQueried) {
    const TemporaryDirectory folder;
    folder.WriteFile("ReleaseToggleOverrides.xml",
                     R"(<ReleaseToggleOverrides><OverriddenValue toggleName="Filed" status="Enabled"/>
                        </ReleaseToggleOverrides>)");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    const ScopedLogCapture log;
    ReleaseToggle filed("Filed", ToggleDefaultStatus::Disabled);
    ReleaseToggle forced("Forced", ToggleDefaultStatus::Disabled);
    ReleaseToggle forcedTwin("Forced", ToggleDefaultStatus::Disabled);
    DebugToggle debug("Debug/Path", "Key");
    const Testing::OverrideToggleValueGuard guard(forced, ToggleStatus::Enabled);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    static_cast<void>(IsToggleEnabled(forcedTwin));

    // The report's preference AllowDumpingUnpublishedData is unset: the listing has them all.
    const std::vector<LiveToggleRecord> records = ListLiveToggles();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].kind, ToggleKind::Debug);
    EXPECT_EQ(records[0].name, "Debug/Path/Key");
    EXPECT_FALSE(records[0].wasQueried);
    EXPECT_EQ(records[1].name, "Filed");
    EXPECT_EQ(records[1].displayName, "[Release]  name=\"Filed\"");
    EXPECT_EQ(records[1].currentStatus, ToggleStatus::Enabled);
    EXPECT_TRUE(records[1].overriddenByFile);
    EXPECT_FALSE(records[1].overriddenByTest);
    EXPECT_EQ(records[2].name, "Forced");
    EXPECT_TRUE(records[2].wasQueried);
    EXPECT_TRUE(records[2].overriddenByTest);
    EXPECT_FALSE(records[2].overriddenByFile);
    EXPECT_FALSE(ToggleAccessor::WasQueried(filed));
}

TEST(ErrorReportObserver, SeesEveryReportWithItsToggleAndWhetherItWasCaptured) {
    std::vector<std::string> seen;
    ErrorReporter::SetErrorReportObserver([&seen](const ErrorReporter::ObservedReport& report) {
        seen.push_back(std::string(report.captured ? "captured " : "sent ") + report.message + " | " +
                       report.toggle);
    });
    const ScopedBugReportCapture sent;
    ReleaseToggle toggle("T", ToggleDefaultStatus::Disabled);
    {
        const Testing::OverrideToggleValueGuard outer(toggle, ToggleStatus::Enabled);
        const Testing::OverrideToggleValueGuard inner(toggle, ToggleStatus::Enabled);
        const ErrorReporter::ReportGuard captured;
        const Testing::OverrideToggleValueGuard third(toggle, ToggleStatus::Enabled);
    }
    ErrorReporter::SetErrorReportObserver({});
    const Testing::OverrideToggleValueGuard unobserved(toggle, ToggleStatus::Enabled);
    const Testing::OverrideToggleValueGuard nested(toggle, ToggleStatus::Enabled);

    const std::string nestedMessage =
        "Nested override of the same toggle value is not allowed | [Release]  name=\"T\"";
    EXPECT_EQ(seen, (std::vector<std::string>{"sent " + nestedMessage, "captured " + nestedMessage}));
    EXPECT_EQ(sent.GetMessages().size(), 2u);
}
