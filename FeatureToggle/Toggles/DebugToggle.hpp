#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

// A toggle bound to the boolean preference `name` under `path` in the user domain, read once at
// its first status computation. Disabled by default, and when the preference is missing or not a
// boolean. The identity reads [Debug]  path="Debug/Rendering" key="ShowFrameRate".
//
//   FeatureToggle::DebugToggle showFrameRate("Debug/Rendering", "ShowFrameRate");
class FEATURETOGGLE_EXPORT DebugToggle : public AutomaticallyEvaluatedToggle {
public:
    DebugToggle(const Zelk::String& path, const Zelk::String& name);
    // The same, with a description that lives as long as the toggle (a literal), for the listing:
    //   FeatureToggle::DebugToggle showFrameRate("Debug/Rendering", "ShowFrameRate", "Frame rate shown");
    DebugToggle(const Zelk::String& path, const Zelk::String& name, const char* description);
    ~DebugToggle() override;
};

}  // namespace FeatureToggle
