// The XML names of the release toggle override file, shared by the reader and featuretoggle-check.
#pragma once

namespace FeatureToggle::OverrideFileFormat {

inline constexpr const char* TopElement = "ReleaseToggleOverrides";
inline constexpr const char* OverrideElement = "OverriddenValue";
inline constexpr const char* ToggleNameAttribute = "toggleName";
inline constexpr const char* StatusAttribute = "status";

}  // namespace FeatureToggle::OverrideFileFormat
