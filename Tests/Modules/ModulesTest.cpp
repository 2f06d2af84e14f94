// Plug-in modules linking the shared library, through its exported API only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Testing.hpp"
#include "ModuleLoader.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

struct LoadedModule {
    explicit LoadedModule(const char* file) : library(file) {
        EXPECT_TRUE(library.IsLoaded()) << library.GetError();
    }
    const Toggle& GetToggle(const char* name) const {
        return *library.FindFunction<const Toggle* (*)(const char*)>("TestModuleToggle")(name);
    }
    void LoadOverrides() const { library.FindFunction<void (*)()>("TestModuleLoadOverrides")(); }

    ModuleLoader::LoadedModule library;
};

bool IsLoaded(const char* file) {
    return ModuleLoader::IsModuleLoaded(file);
}

// The names in the report's rows, unpublished ones included.
Strings ReportedNames() {
    const FeatureToggleTests::ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::ApplicationDomain, "FeatureToggle", "AllowDumpingUnpublishedData",
                             "true");
    Strings names;
    DumpToggleInfo([&names](const Zelk::UniString& line) {
        const std::string text = line.ToCStr();
        const std::size_t name = text.find("name=\"") + 6;
        if (text.rfind("  [", 0) == 0 && name > 6) {
            names.push_back(text.substr(name, text.find('"', name) - name));
        }
    });
    return names;
}

// Loaded copies of the shared library.
int CountLibraryCopies() {
    return ModuleLoader::CountLoadedLibraries(TEST_LIBRARY_FILE_NAME);
}

TEST(Modules, TheRegistrySeesAModulesTogglesWhileItIsLoaded) {
    EXPECT_EQ(ReportedNames(), Strings{});
    {
        const LoadedModule a(TEST_MODULE_A);
        EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "Shared"}));
        {
            const LoadedModule b(TEST_MODULE_B);
            EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "OnlyInB", "Shared"}));  // one "Shared" row
        }
        EXPECT_FALSE(IsLoaded(TEST_MODULE_B));
        EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "Shared"}));
    }
    EXPECT_FALSE(IsLoaded(TEST_MODULE_A));
    EXPECT_EQ(ReportedNames(), Strings{});

    const LoadedModule again(TEST_MODULE_A);
    EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "Shared"}));
}

TEST(Modules, TogglesOfOneNameInTwoModulesAreForcedTogether) {
    const LoadedModule a(TEST_MODULE_A);
    const Toggle& sharedInA = a.GetToggle("Shared");
    {
        const Testing::OverrideToggleValueGuard forced(sharedInA, ToggleStatus::Enabled);
        const LoadedModule b(TEST_MODULE_B);  // loaded while the guard lives
        EXPECT_TRUE(IsToggleEnabled(sharedInA));
        EXPECT_TRUE(IsToggleEnabled(b.GetToggle("Shared")));
        EXPECT_FALSE(IsToggleEnabled(b.GetToggle("OnlyInB")));
    }
    EXPECT_FALSE(IsToggleEnabled(sharedInA));
}

TEST(Modules, TheLibrarysProcessWideObjectsExistOnce) {
    const FeatureToggleTests::TemporaryDirectory folder;
    folder.WriteFile("ReleaseToggleOverrides.xml",
                     "<ReleaseToggleOverrides><OverriddenValue toggleName=\"Shared\" status=\"Enabled\"/>"
                     "<OverriddenValue toggleName=\"OnlyInB\" status=\"Enabled\"/></ReleaseToggleOverrides>");
    const FeatureToggleTests::ScopedOverrideFolder overrideFolder(folder.GetPath());

    const LoadedModule a(TEST_MODULE_A);
    EXPECT_FALSE(IsToggleEnabled(a.GetToggle("Shared")));
    {
        // A's early query is reported to the host's guard.
        const ErrorReporter::ReportGuard reports;
        a.LoadOverrides();
        EXPECT_EQ(reports.NumberOfCapturedReports(), 1u);
    }
    // What A loaded serves B and the host alike.
    const LoadedModule b(TEST_MODULE_B);
    const ReleaseToggle inHost("Shared", ToggleDefaultStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(a.GetToggle("Shared")));
    EXPECT_TRUE(IsToggleEnabled(b.GetToggle("Shared")));
    EXPECT_TRUE(IsToggleEnabled(b.GetToggle("OnlyInB")));
    EXPECT_TRUE(IsToggleEnabled(inHost));

    EXPECT_EQ(CountLibraryCopies(), 1);
}

}  // namespace
