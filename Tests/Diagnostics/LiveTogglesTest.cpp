#include <gtest/gtest.h>

#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
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
    ReleaseToggle filed("Filed", ToggleDefaultStatus::Disabled, "Filed text");
    ReleaseToggle forced("Forced", ToggleDefaultStatus::Disabled);
    ReleaseToggle forcedTwin("Forced", ToggleDefaultStatus::Disabled);
    DebugToggle debug("Debug/Path", "Key", "Debug text");
    const Testing::OverrideToggleValueGuard guard(forced, ToggleStatus::Enabled);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    static_cast<void>(IsToggleEnabled(forcedTwin));

    // The report's preference AllowDumpingUnpublishedData is unset: the listing has them all.
    const std::vector<LiveToggleRecord> records = ListLiveToggles();
    std::vector<std::string> listed;
    for (const LiveToggleRecord& record : records) {
        listed.push_back(GetToggleKindName(record.kind) + (" " + record.name) +
                         (record.wasQueried ? " queried" : "") + (record.overriddenByFile ? " file" : "") +
                         (record.overriddenByTest ? " test" : "") +
                         (record.currentStatus == ToggleStatus::Enabled ? " on " : " off ") +
                         GetToggleStatusSourceName(record.source) + " '" + record.description + "'");
    }
    ASSERT_EQ(listed, (std::vector<std::string>{"debug Debug/Path/Key off default 'Debug text'",
                                                "release Filed file on file 'Filed text'",
                                                "release Forced queried test on test ''"}));
    EXPECT_EQ(records[1].displayName, "[Release]  name=\"Filed\"");
    EXPECT_FALSE(ToggleAccessor::WasQueried(filed));
}
