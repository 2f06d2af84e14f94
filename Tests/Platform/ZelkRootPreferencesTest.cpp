#include <gtest/gtest.h>

#include <string>

#include "Support/TestSupport.hpp"
#include "ZelkRoot.hpp"

namespace {

using FeatureToggleTests::ScopedBugReportCapture;
using FeatureToggleTests::ScopedPreferences;
using FeatureToggleTests::TemporaryDirectory;
using ZelkPref::IRoot;

constexpr const char* validFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Preferences>
  <!-- debug toggles -->
  <Value domain="1" path="Debug/Rendering" name="ShowFrameRate">true</Value>
  <Value domain="1" path="Debug/Rendering" name="Wireframe">0</Value>
  <Value domain="1" path="Debug/Rendering" name="Empty"></Value>
  <Value domain="1" path="Debug/Rendering" name="Odd">yes</Value>
  <Value domain="0" path="FeatureToggle" name="AllowDumpingUnpublishedData">1</Value>
  <Value domain="0" path="FeatureToggle" name="Off">false</Value>
</Preferences>
)";

// Reads through a freshly opened root of `domain`; `value` starts as `initial`.
struct ReadResult {
    Zelk::UInt32 code;
    bool value;
};
ReadResult Read(ZelkPref::RootKeyDomain domain, const char* path, const char* name, bool initial) {
    IRoot* root = ZelkPref::OpenRootKey(domain);
    EXPECT_NE(root, nullptr);
    ReadResult result{0, initial};
    if (root != nullptr) {
        result.code = root->ReadBool(path, name, &result.value, 0, 0);
        ZelkPref::CloseRootKey(&root);
    }
    return result;
}

TEST(ZelkRootPreferences, ReadsValuesOfBothDomainsFromAFile) {
    ScopedPreferences preferences;
    ScopedBugReportCapture reports;
    TemporaryDirectory directory;
    ZelkPref::Host::LoadPreferenceFile(directory.WriteFile("prefs.xml", validFile).c_str());
    EXPECT_TRUE(reports.GetReports().empty());

    ReadResult result = Read(ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate", false);
    EXPECT_EQ(result.code, ZelkPref::ResultOk);
    EXPECT_TRUE(result.value);
    result = Read(ZelkPref::UserDomain, "Debug/Rendering", "Wireframe", true);
    EXPECT_EQ(result.code, ZelkPref::ResultOk);
    EXPECT_FALSE(result.value);
    // Empty and unreadable values leave the out-parameter alone.
    result = Read(ZelkPref::UserDomain, "Debug/Rendering", "Empty", true);
    EXPECT_EQ(result.code, ZelkPref::ResultValueEmpty);
    EXPECT_TRUE(result.value);
    EXPECT_EQ(Read(ZelkPref::UserDomain, "Debug/Rendering", "Odd", false).code, ZelkPref::ResultNotABoolean);
    EXPECT_EQ(Read(ZelkPref::UserDomain, "Debug/Rendering", "Missing", false).code,
              ZelkPref::ResultValueNotFound);
    // The same path and name in the other domain is another value.
    EXPECT_EQ(Read(ZelkPref::ApplicationDomain, "Debug/Rendering", "ShowFrameRate", false).code,
              ZelkPref::ResultValueNotFound);

    EXPECT_TRUE(
        ZelkPref::GetBoolValue("FeatureToggle", "AllowDumpingUnpublishedData", false, IRoot::NoWriteBack));
    EXPECT_FALSE(ZelkPref::GetBoolValue("FeatureToggle", "Off", true, IRoot::NoWriteBack));
    EXPECT_TRUE(ZelkPref::GetBoolValue("FeatureToggle", "Missing", true, IRoot::NoWriteBack));
    // GetBoolValue reads the application domain only.
    EXPECT_FALSE(ZelkPref::GetBoolValue("Debug/Rendering", "ShowFrameRate", false, IRoot::NoWriteBack));

    // A later load replaces the store; a missing file empties it without a report.
    ZelkPref::Host::LoadPreferenceFile((directory.GetPath() / "absent.xml").c_str());
    EXPECT_EQ(Read(ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate", false).code,
              ZelkPref::ResultValueNotFound);
    EXPECT_TRUE(reports.GetReports().empty());
}

TEST(ZelkRootPreferences, InvalidFilesAreReportedOnceAndLeaveTheStoreEmpty) {
    ScopedPreferences preferences;
    TemporaryDirectory directory;
    const struct {
        const char* name;
        const char* content;
    } invalidFiles[] = {
        {"truncated.xml", "<Preferences><Value domain=\"1\" path=\"P\" name=\"N\">true</Value>"},
        {"empty.xml", ""},
        {"root.xml", "<Settings><Value domain=\"1\" path=\"P\" name=\"N\">true</Value></Settings>"},
        {"noname.xml",
         "<Preferences><Value domain=\"1\" path=\"P\" name=\"N\">true</Value>"
         "<Value domain=\"1\" path=\"P\">true</Value></Preferences>"},
        {"domain.xml",
         "<Preferences><Value domain=\"user\" path=\"P\" name=\"N\">true</Value></Preferences>"},
        {"entity.xml",
         "<!DOCTYPE Preferences [<!ENTITY secret SYSTEM \"/etc/passwd\">]>"
         "<Preferences><Value domain=\"1\" path=\"P\" name=\"N\">&secret;</Value></Preferences>"},
    };
    for (const auto& file : invalidFiles) {
        SCOPED_TRACE(file.name);
        ZelkPref::Host::SetValue(ZelkPref::UserDomain, "P", "Old", "true");
        ScopedBugReportCapture reports;
        const std::string path = directory.WriteFile(file.name, file.content).string();
        ZelkPref::Host::LoadPreferenceFile(path.c_str());

        if (std::string(file.name) == "entity.xml") {
            // External entities are never fetched: the value reads as empty, not as the file.
            EXPECT_TRUE(reports.GetReports().empty());
            EXPECT_EQ(Read(ZelkPref::UserDomain, "P", "N", false).code, ZelkPref::ResultValueEmpty);
            continue;
        }
        ASSERT_EQ(reports.GetReports().size(), 1u);
        EXPECT_NE(reports.GetMessages()[0].find(path), std::string::npos) << reports.GetMessages()[0];
        EXPECT_EQ(Read(ZelkPref::UserDomain, "P", "N", false).code, ZelkPref::ResultValueNotFound);
        EXPECT_EQ(Read(ZelkPref::UserDomain, "P", "Old", false).code, ZelkPref::ResultValueNotFound);
    }

    // A folder where the file should be is reported too, not just skipped.
    ScopedBugReportCapture reports;
    ZelkPref::Host::LoadPreferenceFile(directory.GetPath().c_str());
    EXPECT_EQ(reports.GetReports().size(), 1u);
}

TEST(ZelkRootPreferences, TestSettingsSteerRootsAndReads) {
    ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Flag", "true");

    ZelkPref::Host::ForceReadResult(0x80004005u);
    ReadResult result = Read(ZelkPref::UserDomain, "Debug", "Flag", false);
    EXPECT_EQ(result.code, 0x80004005u);
    EXPECT_FALSE(result.value);
    ZelkPref::Host::ForceReadResult(std::nullopt);
    EXPECT_TRUE(Read(ZelkPref::UserDomain, "Debug", "Flag", false).value);

    ZelkPref::Host::SetDomainUnavailable(ZelkPref::UserDomain, true);
    EXPECT_EQ(ZelkPref::OpenRootKey(ZelkPref::UserDomain), nullptr);
    IRoot* application = ZelkPref::OpenRootKey(ZelkPref::ApplicationDomain);
    EXPECT_NE(application, nullptr);
    ZelkPref::CloseRootKey(&application);
    EXPECT_EQ(application, nullptr);
    IRoot* none = nullptr;
    ZelkPref::CloseRootKey(&none);

    const ZelkPref::Host::Statistics statistics = ZelkPref::Host::GetStatistics();
    EXPECT_EQ(statistics.rootsOpened, 3);
    EXPECT_EQ(statistics.closeCalls, 4);

    // Reset forgets values, settings and counts.
    ZelkPref::Host::Reset();
    EXPECT_EQ(ZelkPref::Host::GetStatistics().closeCalls, 0);
    EXPECT_EQ(Read(ZelkPref::UserDomain, "Debug", "Flag", false).code, ZelkPref::ResultValueNotFound);
}

}  // namespace
