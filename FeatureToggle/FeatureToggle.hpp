// FeatureToggle: switches declared in code whose status is decided at run time.
//
// A toggle is a static object of the module that owns the feature, with an identity and a
// compiled-in default:
//
//   FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Disabled);
//   FeatureToggle::DebugToggle showFrameRate("Debug/Rendering", "ShowFrameRate");
//
// A release toggle takes its status from the override file, which the host loads once, at
// start-up, before anything is queried:
//
//   FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
//
// A debug toggle reads its boolean user preference the first time it is asked. Client code then
// asks one question, from any thread, as often as it likes; the answer is cheap:
//
//   if (FeatureToggle::IsToggleEnabled(newImporter)) { ... }
//
// Tests force a toggle for the life of a scope object; those aids are in
// "FeatureToggle/Testing.hpp". The host's toggle report is in
// "FeatureToggle/Diagnostics/DumpToggleInfo.hpp".
//
// Threads: IsToggleEnabled may be called from any number of threads at once, also while the
// overrides load or a test forces a toggle; which other calls may meet which is written once, in
// the contract of a toggle kind in "FeatureToggle/Toggles/Toggle.hpp".
#pragma once

#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
