// Seeing each toggle identity's first query as it happens, to learn which toggles a session uses:
//
//   FeatureToggle::SetFirstQueryObserver(
//       [](const std::string& displayString, FeatureToggle::ToggleKind kind, FeatureToggle::ToggleStatus
//       status) {
//           usage.Record(displayString, status);
//       });
//
// The observer is called once per identity (toggles that share one count as one): at the first
// IsToggleEnabled of any of its toggles, on the querying thread, after the toggle is marked
// queried, with the identity's display string, its kind and the status that query answers. No
// lock of the library is held, so the observer may query toggles. An exception it throws is
// caught and reported as an error; the query answers as usual.
//
// Setting, replacing and clearing (an empty function) may be done from any thread, at any time,
// the observer itself included. Each first query calls the observer in force when it looks, or
// none; a call already running finishes with the observer it started with, which is destroyed
// after its last such call, so Set never waits. From the first Set of the process on, the library
// remembers every queried identity, even while no observer is set, and never reports one twice;
// identities whose live toggles were queried before that first Set count as already reported.
#pragma once

#include <functional>
#include <string>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/ToggleKind.hpp"

namespace FeatureToggle {

using FirstQueryObserver =
    std::function<void(const std::string& displayString, ToggleKind kind, ToggleStatus status)>;

FEATURETOGGLE_EXPORT void SetFirstQueryObserver(FirstQueryObserver observer);

}  // namespace FeatureToggle
