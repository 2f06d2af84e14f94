// A payload kind for tests: known by one name, counting its Equals calls, and able to fail a
// chosen Clone call.
#pragma once

#include <stdexcept>

#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"

namespace FeatureToggleTests {

class TestToggleIdData : public FeatureToggle::ToggleIdData {
public:
    explicit TestToggleIdData(const char* name) : name(name) {}

    // The `count`th Clone call from now throws std::runtime_error; 0 never throws.
    static void FailNthClone(int count) { clonesUntilFailure = count; }
    inline static int equalsCalls = 0;

    Zelk::UInt32 GenerateHashValue() const override { return name.GenerateHashValue(); }
    bool Equals(const ToggleIdData& other) const override {
        ++equalsCalls;
        const auto* const otherData = dynamic_cast<const TestToggleIdData*>(&other);
        return otherData != nullptr && otherData->name == name;
    }
    Zelk::String GetDisplayString() const override { return name; }
    ToggleIdData* Clone() const override {
        if (clonesUntilFailure > 0 && --clonesUntilFailure == 0) {
            throw std::runtime_error("clone failed");
        }
        return new TestToggleIdData(*this);
    }

private:
    inline static int clonesUntilFailure = 0;
    Zelk::String name;
};

}  // namespace FeatureToggleTests
