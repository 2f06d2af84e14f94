#pragma once

#include <cstdint>

namespace FeatureToggle {

// A toggle's effective status. Only the value 1 counts as enabled.
enum class ToggleStatus : std::int32_t {
    Disabled = 0,
    Enabled = 1,
};

// A toggle's compiled-in default. Only the value 1 stands for enabled.
enum class ToggleDefaultStatus : std::int32_t {
    Disabled = 0,
    Enabled = 1,
};

// The status a default stands for.
constexpr ToggleStatus ToStatus(ToggleDefaultStatus defaultStatus) noexcept {
    return static_cast<std::int32_t>(defaultStatus) == 1 ? ToggleStatus::Enabled : ToggleStatus::Disabled;
}

// "Enabled" for the value 1, "Disabled" for any other value.
constexpr const char* GetStatusName(ToggleStatus status) noexcept {
    return status == ToggleStatus::Enabled ? "Enabled" : "Disabled";
}
constexpr const char* GetStatusName(ToggleDefaultStatus defaultStatus) noexcept {
    return GetStatusName(ToStatus(defaultStatus));
}

}  // namespace FeatureToggle
