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
    ReleaseToggle filedTwin("Filed", ToggleDefaultStatus::Enabled);
    ReleaseToggle forced("Forced", ToggleDefaultStatus::Disabled);
    // Any value but 1 stands for disabled: the defaults agree.
    ReleaseToggle forcedTwin("Forced", static_cast<ToggleDefaultStatus>(2));
    DebugToggle debug("Debug/Path", "Key", "Debug text");
    const ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug/Path", "On", "true");
    DebugToggle debugOn("Debug/Path", "On");
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
                         (record.defaultsDisagree ? " defaults-disagree" : "") +
                         (record.currentStatus == ToggleStatus::Enabled ? " on " : " off ") +
                         GetToggleStatusSourceName(record.source) + " '" + record.description + "'");
    }
    // Each flag tells one cause: neither the preference nor the file is a test's override.
    ASSERT_EQ(listed, (std::vector<std::string>{"debug Debug/Path/Key off default 'Debug text'",
                                                "debug Debug/Path/On on preference ''",
                                                "release Filed file defaults-disagree on file 'Filed text'",
                                                "release Forced queried test on test ''"}));
    EXPECT_EQ(records[2].displayName, "[Release]  name=\"Filed\"");
    EXPECT_FALSE(ToggleAccessor::WasQueried(filed));
}
