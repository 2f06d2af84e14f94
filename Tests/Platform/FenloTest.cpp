#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "Fenlo.hpp"
#include "Support/TestSupport.hpp"

namespace {

std::filesystem::path OverridesFolder() {
    IO::Location location;
    EXPECT_EQ(IO::fileSystem.GetSpecialLocation(IO::ReleaseToggleOverridesFolder, location), 0);
    return location.GetPath();
}

TEST(Fenlo, OverridesFolderPrecedence) {
    ::unsetenv("FEATURETOGGLE_OVERRIDE_DIR");
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not a valid setting: ignored
    EXPECT_EQ(OverridesFolder(), "/home/someone/.config/FeatureToggle");
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    ::setenv("FEATURETOGGLE_OVERRIDE_DIR", "", 1);
    EXPECT_EQ(OverridesFolder(), "/xdg/FeatureToggle");
    ::setenv("FEATURETOGGLE_OVERRIDE_DIR", "/env", 1);
    EXPECT_EQ(OverridesFolder(), "/env");
    {
        const FeatureToggleTests::ScopedOverrideFolder host("/host");
        EXPECT_EQ(OverridesFolder(), "/host");
        IO::Location location("/unchanged");
        EXPECT_NE(IO::fileSystem.GetSpecialLocation(4, location), 0);
        EXPECT_EQ(location.GetPath(), "/unchanged");
    }
    EXPECT_EQ(OverridesFolder(), "/env");
}

TEST(Fenlo, ContainsTellsAbsenceFromFailure) {
    const FeatureToggleTests::TemporaryDirectory folder;
    const std::filesystem::path root = folder.GetPath();
    folder.WriteFile("file.xml", "");
    std::filesystem::create_symlink(root / "loop-a", root / "loop-b");
    std::filesystem::create_symlink(root / "loop-b", root / "loop-a");
    const auto contains = [](const std::filesystem::path& path) -> std::optional<bool> {
        bool exists = false;
        return IO::fileSystem.Contains(IO::Location(path), exists) == 0 ? std::optional(exists)
                                                                        : std::nullopt;
    };
    EXPECT_EQ(contains(root / "file.xml"), true);
    EXPECT_EQ(contains(root), true);
    EXPECT_EQ(contains(root / "missing"), false);
    EXPECT_EQ(contains(root / "file.xml" / "below-a-file"), false);
    EXPECT_EQ(contains(root / "loop-a"), std::nullopt);
}

TEST(Fenlo, AppendToLocalTakesOnePathElement) {
    IO::Location location("/base");
    EXPECT_EQ(location.AppendToLocal(IO::Name("\xC3\x9C"
                                              "ber.xml")),
              0);
    for (const char* name : {"", ".", "..", "a/b"}) {
        EXPECT_NE(location.AppendToLocal(IO::Name(name)), 0) << name;
    }
    EXPECT_STREQ(location.ToDisplayText().ToCStr(),
                 "/base/\xC3\x9C"
                 "ber.xml");
}

}  // namespace
