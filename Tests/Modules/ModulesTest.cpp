// Plug-in modules linking the shared library, through its exported API only.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Testing.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

struct LoadedModule {
    explicit LoadedModule(const char* file) : handle(::dlopen(file, RTLD_NOW | RTLD_LOCAL), ::dlclose) {
        EXPECT_NE(handle, nullptr) << ::dlerror();
    }
    const Toggle& GetToggle(const char* name) const {
        return *reinterpret_cast<const Toggle* (*)(const char*)>(::dlsym(handle.get(), "TestModuleToggle"))(
            name);
    }
    void LoadOverrides() const {
        reinterpret_cast<void (*)()>(::dlsym(handle.get(), "TestModuleLoadOverrides"))();
    }

    std::unique_ptr<void, int (*)(void*)> handle;
};

bool IsLoaded(const char* file) {
    void* loaded = ::dlopen(file, RTLD_NOW | RTLD_NOLOAD);
    return loaded != nullptr && ::dlclose(loaded) == 0;
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

// Loaded objects whose file name starts with "libFeatureToggle.so".
int CountLibraryCopies() {
    int count = 0;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            const char* slash = std::strrchr(info->dlpi_name, '/');
            *static_cast<int*>(data) +=
                std::strncmp(slash != nullptr ? slash + 1 : info->dlpi_name, "libFeatureToggle.so", 19) == 0;
            return 0;
        },
        &count);
    return count;
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
