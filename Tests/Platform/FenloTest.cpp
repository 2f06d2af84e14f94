#include <memory>

#include "Support/TestSupport.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

using FeatureToggleTests::SetEnvironment;

std::filesystem::path OverridesFolder() {
    IO::Location location;
    EXPECT_EQ(IO::fileSystem.GetSpecialLocation(IO::ReleaseToggleOverridesFolder, location), 0);
    return location.GetPath();
}

TEST(Fenlo, OverridesFolderPrecedence) {
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", "");
    const std::filesystem::path userFolder = OverridesFolder();
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", "/env");
    EXPECT_EQ(OverridesFolder(), "/env");
    {
        const FeatureToggleTests::ScopedOverrideFolder host("/host");
        EXPECT_EQ(OverridesFolder(), "/host");
    }
    EXPECT_EQ(OverridesFolder(), "/env");
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", "");
    EXPECT_EQ(OverridesFolder(), userFolder);
}

// The user's own folder: the XDG configuration folder on Linux, roaming application data on Windows.
TEST(Fenlo, UserFolderFollowsThePlatformsRule) {
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", "");
#if defined(_WIN32)
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(OverridesFolder(), std::filesystem::path(appData) / "FeatureToggle");
#elif defined(__APPLE__)
    GTEST_SKIP() << "the XDG folders are the rule on Linux only";
#else
    SetEnvironment("HOME", "/home/someone");
    SetEnvironment("XDG_CONFIG_HOME", "relative/config");  // not a valid setting: ignored
    EXPECT_EQ(OverridesFolder(), "/home/someone/.config/FeatureToggle");
    SetEnvironment("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(OverridesFolder(), "/xdg/FeatureToggle");
#endif
}

// Paths are UTF-8 in the platform's strings: a folder named in any script is found and read.
TEST(Fenlo, NonAsciiFoldersAreFoundAndRead) {
    const FeatureToggleTests::TemporaryDirectory temporary;
    const std::string folder = FeatureToggleTests::Utf8FromPath(temporary.GetPath()) +
                               "/Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
    std::filesystem::create_directory(FeatureToggleTests::PathFromUtf8(folder));
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", folder);
    IO::Location location;
    ASSERT_EQ(IO::fileSystem.GetSpecialLocation(IO::ReleaseToggleOverridesFolder, location), 0);
    SetEnvironment("FEATURETOGGLE_OVERRIDE_DIR", "");
    EXPECT_STREQ(location.ToDisplayText().ToCStr(), folder.c_str());

    ASSERT_EQ(location.AppendToLocal(IO::Name("Caf\xC3\xA9.xml")), 0);
    { std::ofstream(location.GetPath()) << "<Root/>"; }
    bool exists = false;
    EXPECT_EQ(IO::fileSystem.Contains(location, exists), 0);
    EXPECT_TRUE(exists);
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannel(IO::Location((folder + "/Caf\xC3\xA9.xml").c_str()),
                                   Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    ASSERT_NE(channel, nullptr);
    Zelk::UniString name;
    EXPECT_EQ(channel->ReadStartTagName(name), 1);
    EXPECT_EQ(name, "Root");
}

// Text that is not UTF-8 (a stray byte, a cut sequence, an overlong "/", a surrogate, a value past
// U+10FFFF) names nothing: no throw, no file looked at or opened, and a display fit to print.
TEST(Fenlo, TextThatIsNotUtf8NamesNothing) {
    const FeatureToggleTests::TemporaryDirectory temporary;
    const std::string folder = FeatureToggleTests::Utf8FromPath(temporary.GetPath());
    for (const char* text : {"\xFF", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        SCOPED_TRACE(testing::PrintToString(text));
        { std::ofstream(FeatureToggleTests::PathFromUtf8(folder + '/' + text)) << "<Root/>"; }
        IO::Location location((folder + '/' + text).c_str());
        EXPECT_FALSE(location.IsUtf8());
        bool exists = false;
        EXPECT_NE(IO::fileSystem.Contains(location, exists), 0);
        EXPECT_EQ(ZelkXML::CreateXMLIChannel(location, Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes),
                  nullptr);
        EXPECT_NE(std::string(location.ToDisplayText().ToCStr()).find("\xEF\xBF\xBD"), std::string::npos);
        IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, location);
        IO::Location special;
        EXPECT_EQ(IO::fileSystem.GetSpecialLocation(IO::ReleaseToggleOverridesFolder, special), 0);
        IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location());
        EXPECT_FALSE(special.IsUtf8());
        IO::Location good(folder.c_str());
        EXPECT_NE(good.AppendToLocal(IO::Name(text)), 0);
        EXPECT_EQ(good, IO::Location(folder.c_str()));
    }
}

}  // namespace
