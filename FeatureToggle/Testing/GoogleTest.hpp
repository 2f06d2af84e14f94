// GoogleTest aids for programs that test code using feature toggles. Link
// FeatureToggle::GoogleTest, then in main (or a test environment):
//
//   FeatureToggle::Testing::FailTestsOnToggleErrors();
//
// and every error the library reports during a test (a guard made after the override load, two
// guards for one toggle at once) fails that test, naming the message, at the test's own line. A
// guard made with FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE, or statuses forced with
// FEATURETOGGLE_SCOPED_TOGGLE_STATUSES, fails at the macro's line instead. A test that expects an
// error makes an ErrorReporter::ReportGuard: what it captures fails nothing.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <list>
#include <string>
#include <utility>

#include "FeatureToggle/Diagnostics/Core/ErrorReportObserver.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"

// Declares `guardName`, an OverrideToggleValueGuard whose misuse fails the test at this line:
//
//   FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE(forced, newImporter, ToggleStatus::Enabled);
#define FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE(guardName, toggle, status)         \
    const ::FeatureToggle::Testing::LocatedOverrideToggleValueGuard guardName( \
        ::FeatureToggle::Testing::SourceLocation{__FILE__, __LINE__}, toggle, status)

// Declares `name`, a ScopedToggleStatuses whose misuse fails the test at this line:
//
//   FEATURETOGGLE_SCOPED_TOGGLE_STATUSES(forced, {{newImporter, ToggleStatus::Enabled},
//                                                 {showFrameRate, ToggleStatus::Disabled}});
#define FEATURETOGGLE_SCOPED_TOGGLE_STATUSES(name, ...)        \
    const ::FeatureToggle::Testing::ScopedToggleStatuses name( \
        ::FeatureToggle::Testing::SourceLocation{__FILE__, __LINE__}, __VA_ARGS__)

namespace FeatureToggle::Testing {

// A line of the test program, where a failure is shown.
struct SourceLocation {
    const char* file;
    int line;
};

// While it lives, the library's reports fail the test at `where` rather than at the test's line.
// The aids' macros make one around the code they stand for.
class ScopedFailureLocation {
public:
    explicit ScopedFailureLocation(const SourceLocation& where) : location(where), previous(Active()) {
        Active() = &location;
    }
    ~ScopedFailureLocation() { End(); }
    ScopedFailureLocation(const ScopedFailureLocation&) = delete;
    ScopedFailureLocation& operator=(const ScopedFailureLocation&) = delete;

    void End() {
        if (Active() == &location) {
            Active() = previous;
        }
    }
    // The innermost live location; null when none lives.
    static const SourceLocation*& Active() {
        static const SourceLocation* active = nullptr;
        return active;
    }

private:
    SourceLocation location;
    const SourceLocation* previous;
};

// Turns the library's uncaptured error reports during each test into failures of that test. The
// failure takes the report's place: the application's report facility does not also show it.
class ToggleErrorListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& test) override {
        testLocation = SourceLocation{test.file(), test.line()};
        loadedBeforeTest = GetReleaseOverrideLoadOutcome().loadAttempted;
        ErrorReporter::SetErrorReportObserver(
            [this](const ErrorReporter::ObservedReport& report) {
                if (!report.captured) {
                    Fail(report);
                }
            },
            ErrorReporter::UncapturedReports::ObserverOnly);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { ErrorReporter::SetErrorReportObserver({}); }

private:
    void Fail(const ErrorReporter::ObservedReport& report) const {
        std::string text = "FeatureToggle reported an error";
        if (!report.toggle.empty()) {
            text += " about " + report.toggle;
        }
        text += std::string(": ") + report.message;
        if (std::strcmp(report.message,
                        "Using OverrideToggleValueGuard is not allowed when a configuration file has been "
                        "loaded!") == 0) {
            text += loadedBeforeTest ? "\nThe release override file was loaded earlier in this process, by a "
                                       "test that ran before this one."
                                     : "\nThe release override file was loaded earlier in this process.";
            text +=
                " A test that loads it must run in a process of its own, as gtest_discover_tests runs "
                "each test under ctest.";
        }
        const SourceLocation* macro = ScopedFailureLocation::Active();
        const SourceLocation& where = macro != nullptr ? *macro : testLocation;
        ADD_FAILURE_AT(where.file, where.line) << text;
    }

    SourceLocation testLocation{"", 0};
    bool loadedBeforeTest = false;
};

// Installs a ToggleErrorListener; GoogleTest owns it from then on.
inline void FailTestsOnToggleErrors() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ToggleErrorListener);
}

// An OverrideToggleValueGuard whose misuse fails the test at `where`; made by
// FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE.
class LocatedOverrideToggleValueGuard {
public:
    LocatedOverrideToggleValueGuard(const SourceLocation& where, const Toggle& toggle, ToggleStatus status)
        : location(where), guard(toggle, status) {
        location.End();
    }

private:
    ScopedFailureLocation location;
    OverrideToggleValueGuard guard;
};

// Forces several toggles at once, for the life of the object:
//
//   const ScopedToggleStatuses forced{{newImporter, ToggleStatus::Enabled},
//                                     {showFrameRate, ToggleStatus::Disabled}};
class ScopedToggleStatuses {
public:
    using Statuses = std::initializer_list<std::pair<const Toggle&, ToggleStatus>>;

    ScopedToggleStatuses(Statuses statuses) { Force(statuses); }
    // The same, failing the test at `where` on misuse; made by FEATURETOGGLE_SCOPED_TOGGLE_STATUSES.
    ScopedToggleStatuses(const SourceLocation& where, Statuses statuses) {
        const ScopedFailureLocation location(where);
        Force(statuses);
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
    void Force(Statuses statuses) {
        for (const auto& [toggle, status] : statuses) {
            guards.emplace_back(toggle, status);
        }
    }

    std::list<OverrideToggleValueGuard> guards;
};

}  // namespace FeatureToggle::Testing
