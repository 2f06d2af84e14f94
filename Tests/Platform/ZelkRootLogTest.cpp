#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Support/TestSupport.hpp"
#include "ZelkRoot.hpp"

namespace {

using FeatureToggleTests::ScopedBugReportCapture;
using FeatureToggleTests::ScopedLogCapture;
using Zelk::FastLogger;

TEST(ZelkRootLog, ComposeSubstitutesArgumentsInOrder) {
    EXPECT_EQ(FastLogger::Compose("% of % set", {"3", "5"}), "3 of 5 set");
    // Missing arguments leave their '%'; extra ones are dropped.
    EXPECT_EQ(FastLogger::Compose("% of % set", {"3"}), "3 of % set");
    EXPECT_EQ(FastLogger::Compose("done", {"x", "y"}), "done");
    // An argument's own '%' is not a placeholder.
    EXPECT_EQ(FastLogger::Compose("%:%", {"50%", "b"}), "50%:b");
    EXPECT_EQ(FastLogger::Compose("", {}), "");
}

TEST(ZelkRootLog, ComposerWritesOneEntryToTheSinkWhenDestroyed) {
    static const Zelk::InfoLogLine line("Toggle % is %, default %", "FeatureToggle", "test");
    ScopedLogCapture capture;
    {
        FastLogger::LogComposer composer;
        Zelk::logger.Append(line, composer).Append("Alpha").Append(1u);
        EXPECT_TRUE(capture.GetEntries().empty());
    }
    {
        FastLogger::LogComposer composer;
        Zelk::logger.Append(line, composer).Append("Beta").Append(4294967295u).Append("on").Append("extra");
    }
    {
        FastLogger::LogComposer unused;  // never started: writes nothing
    }
    EXPECT_EQ(capture.GetEntries(), (std::vector<std::string>{"Toggle Alpha is 1, default %",
                                                              "Toggle Beta is 4294967295, default on"}));
}

TEST(ZelkRootLog, DefaultSinkWritesLinesToStandardError) {
    static const Zelk::InfoLogLine line("entry %", "FeatureToggle", "test");
    { ScopedLogCapture capture; }
    testing::internal::CaptureStderr();
    {
        FastLogger::LogComposer composer;
        Zelk::logger.Append(line, composer).Append(9u);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "entry 9\n");
}

TEST(ZelkRootLog, SinkIsSerialisedAcrossThreads) {
    static const Zelk::InfoLogLine line("thread %", "FeatureToggle", "test");
    ScopedLogCapture capture;  // appends to an unsynchronised vector
    std::vector<std::thread> threads;
    for (Zelk::UInt32 t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) {
                FastLogger::LogComposer composer;
                Zelk::logger.Append(line, composer).Append(t);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(capture.GetEntries().size(), 2000u);
}

TEST(ZelkRootLog, BugReportsReachTheHandlerThenStandardError) {
    {
        ScopedBugReportCapture capture;
        BugRep_ReportError("first", 0x80000000u, 0);
        BugRep_ReportError(nullptr, 0, 0);
        ASSERT_EQ(capture.GetReports().size(), 2u);
        EXPECT_EQ(capture.GetReports()[0].flags, 0x80000000u);
        EXPECT_EQ(capture.GetMessages(), (std::vector<std::string>{"first", ""}));
    }
    testing::internal::CaptureStderr();
    BugRep_ReportError("after capture", 0x80000000u, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "after capture\n");
}

}  // namespace
