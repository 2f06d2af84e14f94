// Preference files that anyone could leave on a user's disk: a bad one is reported once and leaves
// the store empty; none reads another file, reaches the network or runs unbounded. An empty, a
// truncated and a misnamed file, a folder, and an external entity in a value are in
// ZelkRootPreferencesTest.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "Support/HostileFiles.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkRoot.hpp"

namespace {

using namespace FeatureToggleTests;

Zelk::UInt32 ReadCode(const char* path, const char* name) {
    ZelkPref::IRoot* root = ZelkPref::OpenRootKey(ZelkPref::UserDomain);
    bool value = false;
    const Zelk::UInt32 code = root->ReadBool(path, name, &value, 0, 0);
    ZelkPref::CloseRootKey(&root);
    return code;
}

std::string Value(const std::string& path, const std::string& content = "true") {
    return "<Value domain=\"1\" path=\"" + path + "\" name=\"N\">" + content + "</Value>\n";
}

std::string Preferences(const std::string& values, const std::string& prolog = "") {
    return prolog + "<Preferences>\n" + values + "</Preferences>\n";
}

TEST(HostilePreferenceFile, BadOnesAreReportedOnceAndNoneReachesOutside) {
    ScopedPreferences preferences;
    const TemporaryDirectory folder;
    const LoopbackListener listener;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    std::filesystem::create_symlink(folder.GetPath() / "loop", folder.GetPath() / "loop");

    enum class Setup { Write, WriteUnreadable, LinkLoop };
    const struct {
        const char* what;
        std::string content;
        bool reported;
        const char* readablePath = "P";  // for a file that loads: where its value is read
        Setup setup = Setup::Write;
    } rows[] = {
        {"external entity to a local file in an attribute",
         Preferences(Value("P") + Value("&s;"),
                     "<!DOCTYPE Preferences [<!ENTITY s SYSTEM \"" + secret + "\">]>"),
         true},
        {"external DTD at a remote address",
         Preferences(Value("P"), "<!DOCTYPE Preferences SYSTEM \"" + listener.Url("evil.dtd") + "\">"),
         false},
        {"entities at a remote address",
         Preferences(Value("P") + Value("Q", "&r;"),
                     "<!DOCTYPE Preferences [<!ENTITY % p SYSTEM \"" + listener.Url("p.dtd") + "\"> %p; " +
                         "<!ENTITY r SYSTEM \"" + listener.Url("r.xml") + "\">]>"),
         false},
        {"billion laughs in an attribute",
         Preferences(Value("P") + Value("&lol9;"), "<!DOCTYPE Preferences [" + BillionLaughsSubset() + "]>"),
         true},
        {"billion laughs in a value",
         Preferences(Value("P") + Value("Q", "&lol9;"),
                     "<!DOCTYPE Preferences [" + BillionLaughsSubset() + "]>"),
         true},
        {"deep nesting inside a value", Preferences(Value("P") + Value("Q", DeepNesting(100000))), true},
        {"invalid UTF-8 in a path", Preferences(Value("P") + Value("Q\xC3\x28")), true},
        {"a NUL byte in a path", Preferences(Value("P") + Value(std::string("Q\0R", 3))), true},
        {"UTF-16 with a byte-order mark",
         Utf16(Preferences(Value("P"), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")), false},
        {"UTF-16 that does not decode",
         Utf16(Preferences(Value("P") + "\x01", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")), true},
        {"Latin-1 with a non-ASCII path",
         Preferences(Value("Caf\xE9"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), false,
         "Caf\xC3\xA9"},
        {"no read permission", Preferences(Value("P")), true, "P", Setup::WriteUnreadable},
        {"symbolic link loop", "", true, "P", Setup::LinkLoop},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::path file = folder.GetPath() / "loop";
        if (row.setup != Setup::LinkLoop) {
            file = folder.WriteFile("preferences.xml", row.content);
        }
        if (row.setup == Setup::WriteUnreadable) {
            std::filesystem::permissions(file, std::filesystem::perms::none);
        }
        ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Old", "N", "true");
        const ScopedBugReportCapture reports;
        const auto start = std::chrono::steady_clock::now();
        {
            const ScopedUnprivileged unprivileged;
            if (row.setup == Setup::WriteUnreadable && !unprivileged.PermissionsApply()) {
                continue;
            }
            testing::internal::CaptureStderr();
            ZelkPref::Host::LoadPreferenceFile(file.c_str());
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the host's output is its own
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

        EXPECT_EQ(ReadCode("Old", "N"), ZelkPref::ResultValueNotFound);  // replaced, whatever the file
        if (row.reported) {
            ASSERT_EQ(reports.GetMessages().size(), 1u);
            EXPECT_NE(reports.GetMessages()[0].find(file.string()), std::string::npos);
            EXPECT_EQ(reports.GetMessages()[0].find("TOPSECRET"), std::string::npos);
            EXPECT_EQ(ReadCode(row.readablePath, "N"), ZelkPref::ResultValueNotFound);
        } else {
            EXPECT_EQ(reports.GetMessages(), std::vector<std::string>{});
            EXPECT_EQ(ReadCode(row.readablePath, "N"), ZelkPref::ResultOk);
        }
    }
    EXPECT_EQ(listener.GetConnections(), 0);
}

TEST(HostilePreferenceFile, AFiftyMegabyteFileIsRefusedUnread) {
    ScopedPreferences preferences;
    const TemporaryDirectory folder;
    const std::filesystem::path file = folder.GetPath() / "preferences.xml";
    constexpr std::size_t size = 50u << 20;
    WriteLargeFile(file, "<Preferences>\n" + Value("First"), Value("Filler", "false"), size,
                   Value("Last") + "</Preferences>\n");

    const ScopedBugReportCapture reports;
    ResetPeakMemory();
    const long before = PeakMemoryKiB();
    ZelkPref::Host::LoadPreferenceFile(file.c_str());
    const long growth = PeakMemoryKiB() - before;
    ASSERT_EQ(reports.GetMessages().size(), 1u);
    EXPECT_NE(reports.GetMessages()[0].find("larger than"), std::string::npos) << reports.GetMessages()[0];
    EXPECT_EQ(ReadCode("First", "N"), ZelkPref::ResultValueNotFound);
    if (MemoryUseIsMeaningful()) {
        EXPECT_LT(growth, 4 * 1024) << "KiB for a file of " << (size >> 10) << " KiB";
    }
}

}  // namespace
