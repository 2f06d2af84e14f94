#pragma once

#include <functional>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggle {

// Writes the toggle report, one line per call of `writeLine`: the override file in use, the
// names in it that match no live toggle, and a table of the live toggles. Toggles whose default
// is not overridden are listed only when the preference AllowDumpingUnpublishedData of section
// FeatureToggle is true. Each section of the report goes through its own copy of `writeLine`, so
// lines are collected through state the copies share:
//
//   std::vector<std::string> lines;
//   FeatureToggle::DumpToggleInfo([&lines](const Zelk::UniString& line) {
//       lines.emplace_back(line.ToCStr());
//   });
FEATURETOGGLE_EXPORT void DumpToggleInfo(std::function<void(const Zelk::UniString&)> writeLine);

}  // namespace FeatureToggle
