// An evaluator and a toggle kind that the toggle and registry tests steer directly.
#pragma once

#include <atomic>

#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggleTests {

using namespace FeatureToggle;

inline FileBasedToggleIdData TestId(const char* name) {
    return FileBasedToggleIdData("Test", name);
}

// A status table the tests change at will; it counts how often it is asked and can fail.
class SettableEvaluator : public MappingBasedToggleStatusEvaluator {
public:
    void Set(const char* name, ToggleStatus status) {
        Unset(name);
        Add(ToggleId(TestId(name)), status);
    }
    void Unset(const char* name) { Remove(ToggleId(TestId(name))); }

    Zelk::Optional<ToggleStatus> EvaluateToggleStatus(const ToggleId& id) const override {
        ++calls;
        if (throws) {
            throw Zelk::ZelkException("store unavailable");
        }
        return MappingBasedToggleStatusEvaluator::EvaluateToggleStatus(id);
    }

    mutable std::atomic<int> calls{0};
    bool throws = false;
};

// A toggle whose kind computes a fixed status and counts how often it is asked.
class FixedToggle : public Toggle {
public:
    FixedToggle(const ToggleIdData& id, ToggleStatus computed, ToggleDefaultStatus defaultStatus = {})
        : Toggle(id, defaultStatus), computed(computed) {}

    mutable int implCalls = 0;

protected:
    ToggleStatus GetCurrentStatusImpl() const override { return ++implCalls, computed; }
    bool IsDefaultValueOverriddenImpl() const override {
        return ++implCalls, computed != ToStatus(GetDefaultStatus());
    }

private:
    ToggleStatus computed;
};

}  // namespace FeatureToggleTests
