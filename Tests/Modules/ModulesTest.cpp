// Plug-in modules that link the shared library load and unload with their toggles: the registry
// follows them, toggles of one name in several modules are one identity, and every module uses
// the library's one set of process-wide objects. Only the library's exported API is used here.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FeatureToggle/FeatureToggle.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

class LoadedModule {
public:
    explicit LoadedModule(const char* file) : handle(::dlopen(file, RTLD_NOW | RTLD_LOCAL)) {
        EXPECT_NE(handle, nullptr) << ::dlerror();
    }
    ~LoadedModule() {
        if (handle != nullptr) {
            ::dlclose(handle);
        }
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const Toggle& GetToggle(const char* name) const {
        const auto get =
            reinterpret_cast<const Toggle* (*)(const char*)>(::dlsym(handle, "TestModuleToggle"));
        return *get(name);
    }
    void LoadOverrides() const { reinterpret_cast<void (*)()>(::dlsym(handle, "TestModuleLoadOverrides"))(); }

    static bool IsLoaded(const char* file) {
        void* loaded = ::dlopen(file, RTLD_NOW | RTLD_NOLOAD);
        if (loaded != nullptr) {
            ::dlclose(loaded);
        }
        return loaded != nullptr;
    }

private:
    void* handle;
};

// The toggle names the report lists, one per row, with every toggle listed.
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
    std::sort(names.begin(), names.end());
    return names;
}

int CountLoadedObjects(const char* fileName) {
    struct Search {
        const char* fileName;
        int count;
    } search{fileName, 0};
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            const char* slash = std::strrchr(info->dlpi_name, '/');
            search->count += std::strncmp(slash != nullptr ? slash + 1 : info->dlpi_name, search->fileName,
                                          std::strlen(search->fileName)) == 0;
            return 0;
        },
        &search);
    return search.count;
}

TEST(Modules, TheRegistrySeesAModulesTogglesWhileItIsLoaded) {
    EXPECT_EQ(ReportedNames(), Strings{});
    {
        const LoadedModule a(TEST_MODULE_A);
        EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "Shared"}));
        {
            const LoadedModule b(TEST_MODULE_B);
            EXPECT_EQ(ReportedNames(),
                      (Strings{"OnlyInA", "OnlyInB", "Shared"}));  // one row for both "Shared"
        }
        EXPECT_FALSE(LoadedModule::IsLoaded(TEST_MODULE_B));
        EXPECT_EQ(ReportedNames(), (Strings{"OnlyInA", "Shared"}));
    }
    EXPECT_FALSE(LoadedModule::IsLoaded(TEST_MODULE_A));
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
        // Module A loads the overrides; its early query is reported to the host's guard.
        const ErrorReporter::ReportGuard reports;
        a.LoadOverrides();
        EXPECT_EQ(reports.NumberOfCapturedReports(), 1u);
    }
    // The overrides module A loaded serve module B and the host alike.
    const LoadedModule b(TEST_MODULE_B);
    const ReleaseToggle inHost("Shared", ToggleDefaultStatus::Disabled);
    EXPECT_TRUE(IsToggleEnabled(a.GetToggle("Shared")));
    EXPECT_TRUE(IsToggleEnabled(b.GetToggle("Shared")));
    EXPECT_TRUE(IsToggleEnabled(b.GetToggle("OnlyInB")));
    EXPECT_TRUE(IsToggleEnabled(inHost));

    EXPECT_EQ(CountLoadedObjects("libFeatureToggle.so"), 1);
}

}  // namespace
