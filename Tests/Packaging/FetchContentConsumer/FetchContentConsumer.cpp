#include <cstdio>

#include "FeatureToggle/FeatureToggle.hpp"

namespace {

FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Enabled);

}  // namespace

int main() {
    std::printf("NewImporter %s\n", FeatureToggle::IsToggleEnabled(newImporter) ? "enabled" : "disabled");
    return 0;
}
