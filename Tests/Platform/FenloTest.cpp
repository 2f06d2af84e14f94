#include <gtest/gtest.h>

#include <cstdlib>

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
    ::setenv("FEATURETOGGLE_OVERRIDE_DIR", "", 1);  // empty: ignored
    EXPECT_EQ(OverridesFolder(), "/xdg/FeatureToggle");
    ::setenv("FEATURETOGGLE_OVERRIDE_DIR", "/env", 1);
    EXPECT_EQ(OverridesFolder(), "/env");
    const FeatureToggleTests::ScopedOverrideFolder host("/host");
    EXPECT_EQ(OverridesFolder(), "/host");
}

}  // namespace
