// Plug-in modules linking the shared library, through its exported API only.
#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
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

// The live toggles' names, one per identity.
Strings LiveNames() {
    Strings names;
    for (const LiveToggleRecord& record : ListLiveToggles()) {
        names.push_back(record.name);
    }
    return names;
}

TEST(Modules, TheRegistrySeesAModulesTogglesWhileItIsLoaded) {
    EXPECT_EQ(LiveNames(), Strings{});
    {
        const LoadedModule a(TEST_MODULE_A);
        EXPECT_EQ(LiveNames(), (Strings{"OnlyInA", "Shared"}));
        {
            const LoadedModule b(TEST_MODULE_B);
            EXPECT_EQ(LiveNames(), (Strings{"OnlyInA", "OnlyInB", "Shared"}));  // one "Shared" row
        }
        EXPECT_FALSE(ModuleLoader::IsModuleLoaded(TEST_MODULE_B));
        EXPECT_EQ(LiveNames(), (Strings{"OnlyInA", "Shared"}));
    }
    EXPECT_FALSE(ModuleLoader::IsModuleLoaded(TEST_MODULE_A));
    EXPECT_EQ(LiveNames(), Strings{});

    const LoadedModule again(TEST_MODULE_A);
    EXPECT_EQ(LiveNames(), (Strings{"OnlyInA", "Shared"}));
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

    EXPECT_EQ(ModuleLoader::CountLoadedLibraries(TEST_LIBRARY_FILE_NAME), 1);  // loaded copies
}

}  // namespace
