// GoogleTest aids for programs that test code using feature toggles. Link
// FeatureToggle::GoogleTest, then in main (or a test environment):
//
//   FeatureToggle::Testing::FailTestsOnToggleErrors();
//
// and every error the library reports during a test (a guard made after the override load, two
// guards for one toggle at once) fails that test, naming the message. A test that expects an
// error makes an ErrorReporter::ReportGuard: what it captures fails nothing.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <list>
#include <utility>

#include "FeatureToggle/Diagnostics/Core/ErrorReportObserver.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"

namespace FeatureToggle::Testing {

// Turns the library's uncaptured error reports during each test into failures of that test.
class ToggleErrorListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        ErrorReporter::SetErrorReportObserver([](const ErrorReporter::ObservedReport& report) {
            if (report.captured) {
                return;
            }
            if (report.toggle.empty()) {
                ADD_FAILURE() << "FeatureToggle reported an error: " << report.message;
            } else {
                ADD_FAILURE() << "FeatureToggle reported an error about " << report.toggle << ": "
                              << report.message;
            }
        });
    }
    void OnTestEnd(const ::testing::TestInfo&) override { ErrorReporter::SetErrorReportObserver({}); }
};

// Installs a ToggleErrorListener; GoogleTest owns it from then on.
inline void FailTestsOnToggleErrors() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ToggleErrorListener);
}

// Forces several toggles at once, for the life of the object:
//
//   const ScopedToggleStatuses forced{{newImporter, ToggleStatus::Enabled},
//                                     {showFrameRate, ToggleStatus::Disabled}};
class ScopedToggleStatuses {
public:
    ScopedToggleStatuses(std::initializer_list<std::pair<const Toggle&, ToggleStatus>> statuses) {
        for (const auto& [toggle, status] : statuses) {
            guards.emplace_back(toggle, status);
        }
    }
    ScopedToggleStatuses(const ScopedToggleStatuses&) = delete;
    ScopedToggleStatuses& operator=(const ScopedToggleStatuses&) = delete;
    // Ends the guards in the reverse order of their making.
    ~ScopedToggleStatuses() {
        while (!guards.empty()) {
            guards.pop_back();
        }
    }

private:
    std::list<OverrideToggleValueGuard> guards;
};

}  // namespace FeatureToggle::Testing
