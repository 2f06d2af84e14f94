// Aids for feeding hostile files to the readers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace FeatureToggleTests {

// Runs `read`, expecting nothing on standard error: the host's output is its own.
inline void ReadQuietly(const std::function<void()>& read) {
    testing::internal::CaptureStderr();
    read();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

inline std::string Doctype(const std::string& root, const std::string& subset) {
    return "<!DOCTYPE " + root + " [" + subset + "]>";
}

// An internal subset whose entity `&lol9;` expands to 10^9 "lol"s.
inline std::string BillionLaughsSubset() {
    std::string subset = "<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        subset += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy) {
            subset += "&lol" + std::to_string(level - 1) + ";";
        }
        subset += "\">";
    }
    return subset;
}

}  // namespace FeatureToggleTests
