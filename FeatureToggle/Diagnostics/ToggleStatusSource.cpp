#include "FeatureToggle/Diagnostics/ToggleStatusSource.hpp"

#include "FeatureToggle/Diagnostics/Internal/StatusSourceLookup.hpp"
#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"

namespace FeatureToggle {

const char* GetToggleStatusSourceName(ToggleStatusSource source) {
    switch (source) {
        case ToggleStatusSource::File:
            return "file";
        case ToggleStatusSource::CommandLine:
            return "commandLine";
        case ToggleStatusSource::Environment:
            return "environment";
        case ToggleStatusSource::Test:
            return "test";
        case ToggleStatusSource::Preference:
            return "preference";
        case ToggleStatusSource::Default:
            break;
    }
    return "default";
}

ToggleStatusSource FindToggleStatusSource(const ToggleId& id, ToggleKind kind, bool overriddenByFile,
                                          bool overriddenByTest) {
    if (overriddenByTest) {
        return ToggleStatusSource::Test;
    }
    if (kind == ToggleKind::Release) {
        switch (FindStartupOverrideOrigin(id)) {
            case StartupOverrideOrigin::CommandLine:
                return ToggleStatusSource::CommandLine;
            case StartupOverrideOrigin::Environment:
                return ToggleStatusSource::Environment;
            case StartupOverrideOrigin::None:
                break;
        }
        return overriddenByFile ? ToggleStatusSource::File : ToggleStatusSource::Default;
    }
    // What the toggle read at its first computation, the store permitting.
    if (kind == ToggleKind::Debug && debugToggleEvaluator.EvaluateToggleStatus(id).HasValue()) {
        return ToggleStatusSource::Preference;
    }
    return ToggleStatusSource::Default;
}

}  // namespace FeatureToggle
