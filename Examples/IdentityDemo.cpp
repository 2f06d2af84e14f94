// Makes two toggle identities and prints what the library knows of them.
#include <cstdio>

#include "FeatureToggle/FeatureToggle.hpp"

int main() {
    using namespace FeatureToggle;
    const ToggleId release(FileBasedToggleIdData("Release", "NewImporter"));
    const ToggleId debug(RegistryBasedToggleIdData("Debug", ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate"));
    const ToggleId releaseCopy = release;

    for (const ToggleId* id : {&release, &debug}) {
        std::printf("%-55s hash %08x\n", id->GetDisplayString().ToCStr(), id->GenerateHashValue());
    }
    std::printf("release == copy of release: %s\n", release == releaseCopy ? "yes" : "no");
    std::printf("release == debug: %s\n", release == debug ? "yes" : "no");
    return 0;
}
