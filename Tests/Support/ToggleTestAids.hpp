// An evaluator and a toggle kind that the toggle and registry tests steer directly.
#pragma once

#include <atomic>

#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
#include "ZelkRoot/Exceptions.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggleTests {

// The two defaults, short, as the tables of the tests write them.
inline constexpr auto Off = FeatureToggle::ToggleDefaultStatus::Disabled;
inline constexpr auto On = FeatureToggle::ToggleDefaultStatus::Enabled;

inline FeatureToggle::FileBasedToggleIdData TestId(const char* name) {
    return FeatureToggle::FileBasedToggleIdData("Test", name);
}

// A status table the tests change at will; it counts how often it is asked and can fail.
class SettableEvaluator : public FeatureToggle::MappingBasedToggleStatusEvaluator {
public:
    void Set(const char* name, FeatureToggle::ToggleStatus status) {
        Unset(name);
        Add(FeatureToggle::ToggleId(TestId(name)), status);
    }
    void Unset(const char* name) { Remove(FeatureToggle::ToggleId(TestId(name))); }

    Zelk::Optional<FeatureToggle::ToggleStatus> EvaluateToggleStatus(
        const FeatureToggle::ToggleId& id) const override {
        ++calls;
        if (throws) {
            throw Zelk::ZelkException("store unavailable");
        }
        return FeatureToggle::MappingBasedToggleStatusEvaluator::EvaluateToggleStatus(id);
    }

    mutable std::atomic<int> calls{0};
    bool throws = false;
};

// A toggle whose kind computes a fixed status and counts how often it is asked.
class FixedToggle : public FeatureToggle::Toggle {
public:
    FixedToggle(const FeatureToggle::ToggleIdData& id, FeatureToggle::ToggleStatus computed,
                FeatureToggle::ToggleDefaultStatus defaultStatus = {})
        : FeatureToggle::Toggle(id, defaultStatus), computed(computed) {}

    mutable int implCalls = 0;

protected:
    FeatureToggle::ToggleStatus GetCurrentStatusImpl() const override { return ++implCalls, computed; }
    bool IsDefaultValueOverriddenImpl() const override {
        return ++implCalls, computed != FeatureToggle::ToStatus(GetDefaultStatus());
    }

private:
    FeatureToggle::ToggleStatus computed;
};

}  // namespace FeatureToggleTests
