#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "FeatureToggle/Diagnostics/FirstQueryObserver.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

void SpinUntil(const std::atomic<bool>& flag) {
    while (!flag.load()) {
        std::this_thread::yield();
    }
}

}  // namespace

// Twins share an identity; each round, every thread makes a first query of every toggle at once.
TEST(FirstQueryObserver, CalledOncePerIdentityWhenThreadsQueryTogether) {
    constexpr int Threads = 4;
    constexpr int Rounds = 30;
    std::mutex mutex;
    std::map<std::string, int> calls;
    std::vector<std::unique_ptr<Toggle>> toggles;
    SetFirstQueryObserver([&](const std::string& display, ToggleKind kind, ToggleStatus status) {
        // Holds no library lock: it may query, its own toggle included.
        static_cast<void>(IsToggleEnabled(*toggles.front()));
        const std::lock_guard<std::mutex> lock(mutex);
        ++calls[display + " " + GetToggleKindName(kind) + (status == ToggleStatus::Enabled ? " on" : " off")];
    });
    std::map<std::string, int> expected;
    for (int round = 0; round < Rounds; ++round) {
        toggles.clear();
        for (const std::string name : {"A", "B", "C", "D"}) {
            const std::string unique = name + std::to_string(round);
            toggles.push_back(std::make_unique<ReleaseToggle>(unique.c_str(), ToggleDefaultStatus::Enabled));
            toggles.push_back(std::make_unique<ReleaseToggle>(unique.c_str(), ToggleDefaultStatus::Enabled));
            expected["[Release]  name=\"" + unique + "\" release on"] = 1;
        }
        const std::string key = "Key" + std::to_string(round);
        toggles.push_back(std::make_unique<DebugToggle>("Debug/Path", key.c_str()));
        expected["[Debug]  path=\"Debug/Path\" key=\"" + key + "\" debug off"] = 1;
        std::atomic<bool> go{false};
        std::atomic<int> ready{0};
        std::vector<std::thread> workers;
        for (std::size_t t = 0; t < Threads; ++t) {
            workers.emplace_back([&, t] {
                ++ready;
                SpinUntil(go);
                for (std::size_t i = 0; i < toggles.size(); ++i) {
                    static_cast<void>(IsToggleEnabled(*toggles[(i + t * 3) % toggles.size()]));
                }
            });
        }
        while (ready.load() < Threads) {
            std::this_thread::yield();
        }
        go = true;
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    EXPECT_EQ(calls, expected);
    SetFirstQueryObserver(nullptr);
}

TEST(FirstQueryObserver, ReplacingNeverWaitsAndNoIdentityIsReportedTwice) {
    const ScopedBugReportCapture reports;
    ReleaseToggle early("Early", Off), earlyTwin("Early", Off), inFlight("InFlight", Off), next("Next", Off),
        unwatched("Unwatched", Off), unwatchedTwin("Unwatched", Off), throwing("Throwing", Off);
    static_cast<void>(IsToggleEnabled(early));  // before any observer: counts as reported

    std::atomic<bool> entered{false}, replaced{false};
    std::atomic<int> firstCalls{0};
    std::vector<std::string> secondCalls;
    SetFirstQueryObserver([&](const std::string&, ToggleKind, ToggleStatus) {
        entered = true;
        SpinUntil(replaced);  // still running while another thread replaces it
        ++firstCalls;
    });
    std::thread querying([&] { static_cast<void>(IsToggleEnabled(inFlight)); });
    SpinUntil(entered);
    SetFirstQueryObserver(
        [&](const std::string& display, ToggleKind, ToggleStatus) { secondCalls.push_back(display); });
    replaced = true;
    querying.join();
    EXPECT_EQ(firstCalls, 1);

    static_cast<void>(IsToggleEnabled(earlyTwin));
    static_cast<void>(IsToggleEnabled(next));
    SetFirstQueryObserver(nullptr);
    static_cast<void>(IsToggleEnabled(unwatched));  // remembered while none is set
    SetFirstQueryObserver([&](const std::string& display, ToggleKind, ToggleStatus) {
        secondCalls.push_back(display);
        throw std::runtime_error("observer failed");
    });
    static_cast<void>(IsToggleEnabled(unwatchedTwin));
    EXPECT_FALSE(IsToggleEnabled(throwing));
    EXPECT_EQ(secondCalls,
              (std::vector<std::string>{"[Release]  name=\"Next\"", "[Release]  name=\"Throwing\""}));
    EXPECT_EQ(reports.messages, std::vector<std::string>{"The first-query observer threw for [Release]  "
                                                         "name=\"Throwing\": observer failed"});
    SetFirstQueryObserver(nullptr);
}
