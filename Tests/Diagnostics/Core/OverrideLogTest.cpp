#include <cstring>
#include <memory>

#include "FeatureToggle/Diagnostics/Core/Internal/OverrideLog.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkXMLUtils.hpp"

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

TEST(OverrideLog, EachEntryComparesTheFileStatusWithTheLiveDefaults) {
    const char* document = R"(<ReleaseToggleOverrides>
        <OverriddenValue toggleName="Same" status="Enabled"/>
        <OverriddenValue toggleName="Differs" status="0x2"/>
        <OverriddenValue toggleName="Odd" status="Disabled"/>
        <OverriddenValue toggleName="Mixed" status="Enabled"/>
        <OverriddenValue toggleName="Ghost" status="Disabled"/>
    </ReleaseToggleOverrides>)";
    FileBasedToggleStatusEvaluator evaluator("Release");
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannelFromMemory(document, std::strlen(document)));
    ASSERT_EQ(evaluator.ReadFromXMLChannel(*channel), 0);

    ReleaseToggle same("Same", ToggleDefaultStatus::Enabled);
    ReleaseToggle differs("Differs", ToggleDefaultStatus::Enabled);
    // Compared by value: a default of 2 is not the file's 0, though both stand for disabled.
    ReleaseToggle odd("Odd", static_cast<ToggleDefaultStatus>(2));
    ReleaseToggle mixedOn("Mixed", ToggleDefaultStatus::Enabled);
    ReleaseToggle mixedOff("Mixed", ToggleDefaultStatus::Disabled);

    FeatureToggleTests::ScopedLogCapture log;
    WriteOverriddenToggleValuesToFastLog(evaluator);
    EXPECT_EQ(log.entries, (Strings{
                               "5 ReleaseToggle statuses overridden by config file",
                               "\t[Release]  name=\"Same\" : Enabled (Same as default)",
                               "\t[Release]  name=\"Differs\" : Disabled (Differs from default)",
                               "\t[Release]  name=\"Odd\" : Disabled (Differs from default)",
                               "\t[Release]  name=\"Mixed\" : Enabled (Inconsistent default values)",
                               "\t[Release]  name=\"Ghost\" : Disabled (Unknown toggle)",
                           }));
}
