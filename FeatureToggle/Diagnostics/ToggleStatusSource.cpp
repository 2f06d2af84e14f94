#include "FeatureToggle/Diagnostics/ToggleStatusSource.hpp"

#include <cstddef>
#include <iterator>

#include "FeatureToggle/Diagnostics/Internal/StatusSourceLookup.hpp"
#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"

namespace FeatureToggle {

const char* GetToggleStatusSourceName(ToggleStatusSource source) {
    // In the order of the enumeration.
    static constexpr const char* names[] = {"default",     "file", "commandLine",
                                            "environment", "test", "preference"};
    const auto index = static_cast<std::size_t>(source);
    return index < std::size(names) ? names[index] : names[0];
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
    // The preference as the store holds it now. A debug toggle keeps what it read at its first
    // computation, so a preference changed since may not be what the toggle answers.
    if (kind == ToggleKind::Debug && debugToggleEvaluator.EvaluateToggleStatus(id).HasValue()) {
        return ToggleStatusSource::Preference;
    }
    return ToggleStatusSource::Default;
}

}  // namespace FeatureToggle
