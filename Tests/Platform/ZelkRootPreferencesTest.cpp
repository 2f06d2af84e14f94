#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Support/HostileFiles.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkRoot.hpp"

namespace {

using namespace FeatureToggleTests;
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

// Code and value of a read through a freshly opened root of `domain`; the value starts as `initial`.
using ReadResult = std::pair<Zelk::UInt32, bool>;
ReadResult Read(const char* path, const char* name, bool initial = false,
                ZelkPref::RootKeyDomain domain = ZelkPref::UserDomain) {
    IRoot* root = ZelkPref::OpenRootKey(domain);
    EXPECT_NE(root, nullptr);
    ReadResult result{0, initial};
    if (root != nullptr) {
        result.first = root->ReadBool(path, name, &result.second, 0, 0);
        ZelkPref::CloseRootKey(&root);
    }
    return result;
}

TEST(ZelkRootPreferences, ReadsValuesOfBothDomainsFromAFile) {
    ScopedPreferences preferences;
    ScopedBugReportCapture reports;
    TemporaryDirectory directory;
    ZelkPref::Host::LoadPreferenceFile(Utf8(directory.WriteFile("prefs.xml", validFile)).c_str());
    EXPECT_TRUE(reports.GetReports().empty());

    EXPECT_EQ(Read("Debug/Rendering", "ShowFrameRate"), ReadResult(ZelkPref::ResultOk, true));
    EXPECT_EQ(Read("Debug/Rendering", "Wireframe", true), ReadResult(ZelkPref::ResultOk, false));
    // Empty and unreadable values leave the out-parameter alone.
    EXPECT_EQ(Read("Debug/Rendering", "Empty", true), ReadResult(ZelkPref::ResultValueEmpty, true));
    EXPECT_EQ(Read("Debug/Rendering", "Odd").first, ZelkPref::ResultNotABoolean);
    EXPECT_EQ(Read("Debug/Rendering", "Missing").first, ZelkPref::ResultValueNotFound);
    // The same path and name in the other domain is another value.
    EXPECT_EQ(Read("Debug/Rendering", "ShowFrameRate", false, ZelkPref::ApplicationDomain).first,
              ZelkPref::ResultValueNotFound);

    EXPECT_TRUE(
        ZelkPref::GetBoolValue("FeatureToggle", "AllowDumpingUnpublishedData", false, IRoot::NoWriteBack));
    EXPECT_FALSE(ZelkPref::GetBoolValue("FeatureToggle", "Off", true, IRoot::NoWriteBack));
    EXPECT_TRUE(ZelkPref::GetBoolValue("FeatureToggle", "Missing", true, IRoot::NoWriteBack));
    // GetBoolValue reads the application domain only.
    EXPECT_FALSE(ZelkPref::GetBoolValue("Debug/Rendering", "ShowFrameRate", false, IRoot::NoWriteBack));

    // A later load replaces the store; a missing file empties it without a report.
    ZelkPref::Host::LoadPreferenceFile(Utf8(directory.GetPath() / "absent.xml").c_str());
    EXPECT_EQ(Read("Debug/Rendering", "ShowFrameRate").first, ZelkPref::ResultValueNotFound);
    EXPECT_TRUE(reports.GetReports().empty());
}

std::string Value(const std::string& path, const std::string& content = "true") {
    return "<Value domain=\"1\" path=\"" + path + "\" name=\"N\">" + content + "</Value>\n";
}

std::string Preferences(const std::string& values, const std::string& prolog = "") {
    return prolog + "<Preferences>\n" + values + "</Preferences>\n";
}

// A bad file is reported once, naming it, and leaves the store empty; none reads another file,
// reaches the network or runs unbounded.
TEST(HostilePreferenceFile, BadOnesAreReportedOnceAndNoneReachesOutside) {
    ScopedPreferences preferences;
    const TemporaryDirectory folder;
    const LoopbackListener listener;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    const bool linksMade = TryCreateSymlink(folder.GetPath() / "loop", folder.GetPath() / "loop");
    std::filesystem::create_directory(folder.GetPath() / "folder.xml");
    const std::string local = Doctype("Preferences", "<!ENTITY s SYSTEM \"" + secret + "\">");
    const std::string laughs = Doctype("Preferences", BillionLaughsSubset());
    const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
    constexpr Zelk::UInt32 Reported = ZelkPref::ResultValueNotFound;

    const struct {
        const char* what;
        std::string content;
        Zelk::UInt32 code;  // of reading the file's value; Reported: the file was reported
        const char* readablePath = "P";
        const char* name = "preferences.xml";
        bool unreadable = false;
    } rows[] = {
        {"truncated", "<Preferences>" + Value("P"), Reported},
        {"empty", "", Reported},
        {"other top element", "<Settings>" + Value("P") + "</Settings>", Reported},
        {"no name", Preferences(Value("P") + "<Value domain=\"1\" path=\"Q\">true</Value>"), Reported},
        {"domain not a number",
         "<Preferences><Value domain=\"user\" path=\"P\" name=\"N\">true</Value></Preferences>", Reported},
        {"external entity to a local file in a value, read as empty", Preferences(Value("P", "&s;"), local),
         ZelkPref::ResultValueEmpty},
        {"external entity to a local file in an attribute", Preferences(Value("P") + Value("&s;"), local),
         Reported},
        {"external DTD at a remote address",
         Preferences(Value("P"), "<!DOCTYPE Preferences SYSTEM \"" + listener.Url("evil.dtd") + "\">"),
         ZelkPref::ResultOk},
        {"entities at a remote address",
         Preferences(Value("P") + Value("Q", "&r;"),
                     Doctype("Preferences", "<!ENTITY % p SYSTEM \"" + listener.Url("p.dtd") + "\"> %p; " +
                                                "<!ENTITY r SYSTEM \"" + listener.Url("r.xml") + "\">")),
         ZelkPref::ResultOk},
        {"billion laughs in an attribute", Preferences(Value("P") + Value("&lol9;"), laughs), Reported},
        {"billion laughs in a value", Preferences(Value("P") + Value("Q", "&lol9;"), laughs), Reported},
        {"deep nesting inside a value", Preferences(Value("P") + Value("Q", DeepNesting(100000))), Reported},
        {"invalid UTF-8 in a path", Preferences(Value("P") + Value("Q\xC3\x28")), Reported},
        {"a NUL byte in a path", Preferences(Value("P") + Value(std::string("Q\0R", 3))), Reported},
        {"UTF-16 with a byte-order mark", Utf16(Preferences(Value("P"), utf16)), ZelkPref::ResultOk},
        {"UTF-16 that does not decode", Utf16(Preferences(Value("P") + "\x01", utf16)), Reported},
        {"Latin-1 with a non-ASCII path",
         Preferences(Value("Caf\xE9"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), ZelkPref::ResultOk,
         "Caf\xC3\xA9"},
        {"no read permission", Preferences(Value("P")), Reported, "P", "preferences.xml", true},
        {"symbolic link loop", "", Reported, "P", "loop"},
        {"a folder", "", Reported, "P", "folder.xml"},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::filesystem::path file = folder.GetPath() / row.name;
        if (row.name == std::string("preferences.xml")) {
            folder.WriteFile(row.name, row.content);
        }
        if (row.name == std::string("loop") && !linksMade) {
            continue;
        }
        ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Old", "N", "true");
        const ScopedBugReportCapture reports;
        if (!ReadHostile(file, row.unreadable,
                         [&] { ZelkPref::Host::LoadPreferenceFile(Utf8(file).c_str()); })) {
            continue;
        }
        EXPECT_EQ(Read("Old", "N").first, ZelkPref::ResultValueNotFound);  // replaced, whatever the file
        EXPECT_EQ(Read(row.readablePath, "N").first, row.code);
        ASSERT_EQ(reports.GetMessages().size(), row.code == Reported ? 1u : 0u);
        for (const std::string& message : reports.GetMessages()) {
            EXPECT_NE(message.find(Utf8(file)), std::string::npos);
            EXPECT_EQ(message.find("TOPSECRET"), std::string::npos);
        }
    }
    EXPECT_EQ(listener.GetConnections(), 0);
}

TEST(HostilePreferenceFile, AFiftyMegabyteFileIsRefusedUnread) {
    ScopedPreferences preferences;
    const TemporaryDirectory folder;
    const std::filesystem::path file = folder.GetPath() / "preferences.xml";
    const ScopedBugReportCapture reports;
    ExpectFiftyMegabytesStreamed(file, "<Preferences>\n" + Value("First"), Value("Filler", "false"),
                                 Value("Last") + "</Preferences>\n",
                                 [&] { ZelkPref::Host::LoadPreferenceFile(Utf8(file).c_str()); });
    ASSERT_EQ(reports.GetMessages().size(), 1u);
    EXPECT_NE(reports.GetMessages()[0].find("larger than"), std::string::npos) << reports.GetMessages()[0];
    EXPECT_EQ(Read("First", "N").first, ZelkPref::ResultValueNotFound);
}

TEST(ZelkRootPreferences, TestSettingsSteerRootsAndReads) {
    ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Flag", "true");

    ZelkPref::Host::ForceReadResult(0x80004005u);
    EXPECT_EQ(Read("Debug", "Flag"), ReadResult(0x80004005u, false));
    ZelkPref::Host::ForceReadResult(std::nullopt);
    EXPECT_TRUE(Read("Debug", "Flag").second);

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
    EXPECT_EQ(Read("Debug", "Flag").first, ZelkPref::ResultValueNotFound);
}

}  // namespace
