// The GoogleTest aids as a test program sees them: a misuse fails the running test once, at the
// user's line, and nothing reaches the report facility besides.
#include "FeatureToggle/Testing/GoogleTest.hpp"

#include <gtest/gtest-spi.h>

#include "FeatureToggle/Testing.hpp"
#include "Support/TestSupport.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using FeatureToggle::Testing::OverrideToggleValueGuard;

namespace {

// As a test program's main would do it.
const bool failingOnToggleErrors = (Testing::FailTestsOnToggleErrors(), true);

const std::string Nested =
    "FeatureToggle reported an error about [Release]  name=\"Importer\": Nested override of the same "
    "toggle value is not allowed";

// The failures `misuse` adds to the running test, as "line: message" when they point into this file.
std::vector<std::string> FailuresOf(const std::function<void()>& misuse) {
    ::testing::TestPartResultArray results;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        misuse();
    }
    std::vector<std::string> failures;
    for (int index = 0; index < results.size(); ++index) {
        const ::testing::TestPartResult& result = results.GetTestPartResult(index);
        const bool here = result.file_name() != nullptr && std::string(result.file_name()) == __FILE__;
        failures.push_back((here ? "" : "elsewhere ") + std::to_string(result.line_number()) + ": " +
                           result.message());
    }
    return failures;
}

}  // namespace

TEST(GoogleTestAids, MisuseFailsTheTestOnceAtTheUsersLine) {
    const int testLine = __LINE__ - 1;
    ScopedBugReportCapture bugReports;
    ReleaseToggle importer("Importer", ToggleDefaultStatus::Disabled);
    ReleaseToggle exporter("Exporter", ToggleDefaultStatus::Disabled);
    constexpr ToggleStatus On = ToggleStatus::Enabled;

    // Each misuse forces the importer a second time; it returns the line its failure belongs to.
    const std::vector<std::function<int()>> misuses = {
        [&] {
            const OverrideToggleValueGuard inner(importer, On);
            return testLine;
        },
        [&] {
            FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE(inner, importer, On);
            return __LINE__ - 1;
        },
        [&] {
            FEATURETOGGLE_SCOPED_TOGGLE_STATUSES(both, {{exporter, On}, {importer, On}});
            return __LINE__ - 1;
        },
    };
    for (const auto& misuse : misuses) {
        const OverrideToggleValueGuard outer(importer, On);  // the inner guard's end ends it
        int line = 0;
        const std::vector<std::string> failures = FailuresOf([&] { line = misuse(); });
        EXPECT_EQ(failures, std::vector<std::string>{std::to_string(line) + ": Failed\n" + Nested});
    }
    // What a ReportGuard captures fails nothing.
    EXPECT_EQ(FailuresOf([&] {
                  const ErrorReporter::ReportGuard expected;
                  const OverrideToggleValueGuard outer(importer, On);
                  FEATURETOGGLE_OVERRIDE_TOGGLE_VALUE(inner, importer, On);
              }),
              std::vector<std::string>{});
    EXPECT_EQ(bugReports.messages, std::vector<std::string>{});
}

TEST(GoogleTestAids, GuardAfterTheLoadFailsTheTestWithTheReasonAndStillForces) {
    ScopedBugReportCapture bugReports;
    const ScopedLogCapture log;
    TemporaryDirectory emptyFolder;  // the load finds no file, and counts all the same
    ScopedOverrideFolder overrideFolder(emptyFolder.GetPath());
    ReleaseToggle importer("Importer", ToggleDefaultStatus::Disabled);
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();

    const std::string afterLoad =
        "FeatureToggle reported an error about [Release]  name=\"Importer\": Using "
        "OverrideToggleValueGuard is not allowed when a configuration file has been loaded!\nThe "
        "release override file was loaded earlier in this process";
    const std::string ownProcess =
        ". A test that loads it must run in a process of its own, as gtest_discover_tests runs each "
        "test under ctest.";
    EXPECT_NONFATAL_FAILURE(
        {
            const OverrideToggleValueGuard forced(importer, ToggleStatus::Enabled);
            EXPECT_TRUE(IsToggleEnabled(importer));
        },
        afterLoad + ownProcess);

    // As the next test of the same process sees it.
    Testing::ToggleErrorListener nextTest;
    nextTest.OnTestStart(*::testing::UnitTest::GetInstance()->current_test_info());
    EXPECT_NONFATAL_FAILURE(OverrideToggleValueGuard(importer, ToggleStatus::Enabled),
                            afterLoad + ", by a test that ran before this one" + ownProcess);
    nextTest.OnTestEnd(*::testing::UnitTest::GetInstance()->current_test_info());
    EXPECT_EQ(bugReports.messages, std::vector<std::string>{});
}
