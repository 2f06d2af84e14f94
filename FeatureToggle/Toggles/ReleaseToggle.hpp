#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

// A toggle whose compiled-in default the release override file "ReleaseToggleOverrides.xml"
// may switch. All release toggles share one evaluator, loaded once by the host:
//
//   FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Disabled);
//   ...
//   FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();  // at start-up
//   if (FeatureToggle::IsToggleEnabled(newImporter)) { ... }
//
// The file's toggleName must equal the name exactly, case included. The identity reads
// [Release]  name="NewImporter" in messages, the log and the report; release toggles of one
// name, in any module, share it. They take the file's status if it names them, else each keeps its
// own default.
class FEATURETOGGLE_EXPORT ReleaseToggle : public OnDemandEvaluatedToggle {
public:
    ReleaseToggle(const Zelk::String& name, ToggleDefaultStatus defaultStatus);
    // The same, with a description that lives as long as the toggle (a literal), for the listing:
    //   FeatureToggle::ReleaseToggle newImporter("NewImporter", Disabled, "The rewritten importer");
    ReleaseToggle(const Zelk::String& name, ToggleDefaultStatus defaultStatus, const char* description);
    ~ReleaseToggle() override;

    // Loads "ReleaseToggleOverrides.xml" from the platform's special location 3, evaluates every
    // live on-demand toggle and writes what the file overrode to the application log. A file
    // that cannot be read is reported as "Invalid Release Toggle override file"; the entries
    // read before the fault still apply. Loads at most once per process: call it at start-up,
    // from one thread, before release toggles are queried (one queried earlier is reported).
    // Overrides given on the command line or in the environment (StartupOverrides.hpp) take
    // effect here too, above the file's.
    static void LoadReleaseToggleCustomStatusFromConfigFile();
};

}  // namespace FeatureToggle
