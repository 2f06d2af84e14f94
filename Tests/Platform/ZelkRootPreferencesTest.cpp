#include <utility>

#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggleTests;
using ZelkPref::IRoot;

// Code and value of a read through a freshly opened user root; the value starts as `initial`.
using ReadResult = std::pair<Zelk::UInt32, bool>;
ReadResult Read(const char* path, const char* name, bool initial = false) {
    IRoot* root = ZelkPref::OpenRootKey(ZelkPref::UserDomain);
    EXPECT_NE(root, nullptr);
    ReadResult result{0, initial};
    if (root != nullptr) {
        result.first = root->ReadBool(path, name, &result.second, 0, 0);
        ZelkPref::CloseRootKey(&root);
    }
    return result;
}

// ReadBool writes the value only with ResultOk; GetBoolValue answers the value so read, or its
// default, from the application domain.
TEST(ZelkRootPreferences, ReadBoolAndGetBoolValueGiveEachResultWhateverTheDefault) {
    ScopedPreferences preferences;
    for (const auto& [name, text] : {std::pair{"On", "true"},
                                     {"One", "1"},
                                     {"Off", "false"},
                                     {"Zero", "0"},
                                     {"Empty", ""},
                                     {"Odd", "yes"}}) {
        ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", name, text);
        ZelkPref::Host::SetValue(ZelkPref::ApplicationDomain, "Debug", name, text);
    }
    const struct {
        const char* name;
        Zelk::UInt32 code;
        bool fromFalse;
        bool fromTrue;
    } rows[] = {
        {"On", ZelkPref::ResultOk, true, true},
        {"One", ZelkPref::ResultOk, true, true},
        {"Off", ZelkPref::ResultOk, false, false},
        {"Zero", ZelkPref::ResultOk, false, false},
        {"Empty", ZelkPref::ResultValueEmpty, false, true},
        {"Odd", ZelkPref::ResultNotABoolean, false, true},
        {"Missing", ZelkPref::ResultValueNotFound, false, true},
    };
    for (const auto& row : rows) {
        for (const bool initial : {false, true}) {
            const bool expected = initial ? row.fromTrue : row.fromFalse;
            EXPECT_EQ(Read("Debug", row.name, initial), ReadResult(row.code, expected)) << row.name;
            EXPECT_EQ(ZelkPref::GetBoolValue("Debug", row.name, initial, IRoot::NoWriteBack), expected)
                << row.name;
        }
    }
}

std::string Value(const std::string& path, const std::string& content = "true") {
    return "<Value domain=\"1\" path=\"" + path + "\" name=\"N\">" + content + "</Value>\n";
}

std::string Preferences(const std::string& values, const std::string& prolog = "") {
    return prolog + "<Preferences>\n" + values + "</Preferences>\n";
}

// A load replaces the store. A bad file is reported once, naming it, and leaves the store empty;
// none reads another file.
TEST(PreferenceFile, BadOnesAreReportedOnceAndLeaveTheStoreEmpty) {
    ScopedPreferences preferences;
    const TemporaryDirectory folder;
    const std::string secret = folder.WriteFile("secret.txt", "TOPSECRET").string();
    std::filesystem::create_directory(folder.GetPath() / "folder.xml");
    std::filesystem::resize_file(folder.WriteFile("huge.xml", Preferences(Value("P"))), 5u << 20);
    const std::string local = Doctype("Preferences", "<!ENTITY s SYSTEM \"" + secret + "\">");
    const std::string laughs = Doctype("Preferences", BillionLaughsSubset());
    constexpr Zelk::UInt32 Reported = 1;

    const struct {
        const char* what;
        std::string content;
        Zelk::UInt32 code;  // of reading the file's value; Reported: not found, and the file reported
        const char* readablePath = "P";
        const char* name = "preferences.xml";
        const char* fault = "";  // in the report
    } rows[] = {
        {"truncated", "<Preferences>" + Value("P"), Reported},
        {"other top element", "<Settings>" + Value("P") + "</Settings>", Reported},
        {"no name", Preferences(Value("P") + "<Value domain=\"1\" path=\"Q\">true</Value>"), Reported},
        {"domain not a number",
         "<Preferences><Value domain=\"user\" path=\"P\" name=\"N\">true</Value></Preferences>", Reported},
        {"external entity to a local file in a value, read as empty", Preferences(Value("P", "&s;"), local),
         ZelkPref::ResultValueEmpty},
        {"billion laughs", Preferences(Value("P") + Value("Q", "&lol9;"), laughs), Reported},
        {"Latin-1 with a non-ASCII path",
         Preferences(Value("Caf\xE9"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), ZelkPref::ResultOk,
         "Caf\xC3\xA9"},
        {"entities that expand into millions of errors",
         Preferences(Value("P", HostileReference(10)), HostileDoctype("Preferences", 10)), Reported},
        {"missing", "", ZelkPref::ResultValueNotFound, "P", "missing.xml"},
        {"larger than the limit", "", Reported, "P", "huge.xml"},
        {"a folder", "", Reported, "P", "folder.xml"},
        {"a fault past line 65,535", Preferences(std::string(70000, '\n') + "<Other/>"), Reported, "P",
         "preferences.xml", ": unexpected element Other at line 70002"},
    };

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::filesystem::path file = folder.GetPath() / row.name;
        if (row.name == std::string("preferences.xml")) {
            folder.WriteFile(row.name, row.content);
        }
        ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Old", "N", "true");
        const ScopedBugReportCapture reports;
        ReadQuietly([&] { ZelkPref::Host::LoadPreferenceFile(Utf8FromPath(file).c_str()); });
        EXPECT_EQ(Read("Old", "N").first, ZelkPref::ResultValueNotFound);  // replaced, whatever the file
        EXPECT_EQ(Read(row.readablePath, "N").first,
                  row.code == Reported ? ZelkPref::ResultValueNotFound : row.code);
        ASSERT_EQ(reports.messages.size(), row.code == Reported ? 1u : 0u);
        for (const std::string& message : reports.messages) {
            EXPECT_NE(message.find(Utf8FromPath(file) + row.fault), std::string::npos);
            EXPECT_EQ(message.find("TOPSECRET"), std::string::npos);
        }
    }
}

}  // namespace
