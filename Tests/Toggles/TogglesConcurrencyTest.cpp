#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

// Each round, half the threads make the first query of a fresh value, half of a fresh toggle, at once.
TEST(OnceValueConcurrency, FirstQueriesTogetherComputeOnce) {
    constexpr int Threads = 8;
    constexpr int Rounds = 200;
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    std::unique_ptr<OnceValue<int>> value;
    std::unique_ptr<AutomaticallyEvaluatedToggle> toggle;
    std::atomic<int> computations{0};
    std::atomic<int> wrongResults{0};
    std::barrier sync(Threads + 1);
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                sync.arrive_and_wait();
                wrongResults += t % 2 == 1 ? !IsToggleEnabled(*toggle) : value->GetOrCompute([&] {
                    ++computations;
                    std::this_thread::yield();  // let the others pile up behind
                    return 42;
                }) != 42;
                sync.arrive_and_wait();
            }
        });
    }
    for (int round = 0; round < Rounds; ++round) {
        value = std::make_unique<OnceValue<int>>();
        toggle = std::make_unique<AutomaticallyEvaluatedToggle>(TestId("A"), ToggleDefaultStatus::Disabled,
                                                                evaluator, EvaluationStrategy::EvaluateOnce);
        sync.arrive_and_wait();
        sync.arrive_and_wait();
        EXPECT_EQ(computations, round + 1);
        EXPECT_EQ(evaluator.calls, round + 1);
        EXPECT_TRUE(ToggleAccessor::WasQueried(*toggle));
    }
    EXPECT_EQ(wrongResults, 0);
}

TEST(ToggleStress, ThreadsBuildQueryAndWalkTogetherAndEveryToggleIsAccountedFor) {
    const ToggleRegistry& registry = ToggleRegistry::GetInstance();
    SettableEvaluator evaluator;
    evaluator.Set("Auto", ToggleStatus::Enabled);
    SettableEvaluator everyTimeEvaluator;
    everyTimeEvaluator.Set("Stable", ToggleStatus::Enabled);
    const ToggleId sharedId(TestId("Shared"));
    std::atomic<bool> stop{false};
    std::atomic<int> wrongAnswers{0};
    std::atomic<int> automaticBuilt{0};
    int walks = 0;
    int badWalks = 0;
    int transientSeen = 0;
    {
        // Alive all along, queried by every thread and met by every walk.
        AutomaticallyEvaluatedToggle stable(TestId("Stable"), ToggleDefaultStatus::Disabled,
                                            everyTimeEvaluator, EvaluationStrategy::EvaluateAlways);
        AutomaticallyEvaluatedToggle automatic(TestId("Auto"), ToggleDefaultStatus::Disabled, evaluator,
                                               EvaluationStrategy::EvaluateOnce);
        const ToggleId stableIds[] = {ToggleId(TestId("Stable")), ToggleId(TestId("Auto"))};

        std::vector<std::jthread> threads;
        for (int t = 0; t < 2; ++t) {
            // Builders: batches, half sharing one identity across threads, each toggle queried once.
            threads.emplace_back([&, t] {
                const std::string own = "Own" + std::to_string(t) + "-";
                while (!stop) {
                    std::deque<FixedToggle> shared;
                    std::deque<AutomaticallyEvaluatedToggle> automatics;
                    for (int i = 0; i < 4; ++i) {
                        shared.emplace_back(TestId("Shared"), ToggleStatus::Enabled);
                        automatics.emplace_back(TestId((own + std::to_string(i)).c_str()),
                                                ToggleDefaultStatus::Disabled, evaluator,
                                                EvaluationStrategy::EvaluateOnce);
                    }
                    automaticBuilt += 4;
                    for (int i = 0; i < 4; ++i) {
                        wrongAnswers += !IsToggleEnabled(shared[i]) + IsToggleEnabled(automatics[i]);
                    }
                }
            });
            threads.emplace_back([&] {
                while (!stop) {
                    wrongAnswers += !IsToggleEnabled(stable) + !IsToggleEnabled(automatic);
                }
            });
        }

        // Walks meanwhile; a visited toggle may be half made, so only its identity is read.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            int stableSeen = 0;
            registry.EnumerateToggles(std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                const ToggleId& id = ToggleAccessor::GetToggleId(toggle);
                const bool isStable = id == stableIds[0] || id == stableIds[1];
                stableSeen += isStable;
                transientSeen += !isStable;
            }));
            registry.EnumerateTogglesById(sharedId,
                                          std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                                              badWalks += !(ToggleAccessor::GetToggleId(toggle) == sharedId);
                                          }));
            const Zelk::HashSet<ToggleId> ids = registry.GetRegisteredToggleIds();
            badWalks += stableSeen != 2 || !ids.Contains(stableIds[0]) || !ids.Contains(stableIds[1]);
            ++walks;
        }
        stop = true;
        threads.clear();

        EXPECT_TRUE(ToggleAccessor::WasQueried(stable));
        EXPECT_TRUE(ToggleAccessor::WasQueried(automatic));
        int left = 0;
        registry.EnumerateToggles(std::function<void(const Toggle&)>([&left](const Toggle&) { ++left; }));
        EXPECT_EQ(left, 2);
        EXPECT_EQ(registry.GetRegisteredToggleIds().GetSize(), 2u);
    }
    EXPECT_EQ(wrongAnswers, 0);
    EXPECT_EQ(badWalks, 0);
    EXPECT_GT(walks, 0);
    EXPECT_GT(transientSeen, 0);
    // Each automatically evaluated toggle asked its evaluator exactly once.
    EXPECT_EQ(evaluator.calls, automaticBuilt + 1);
    EXPECT_TRUE(registry.GetRegisteredToggleIds().IsEmpty());
}

namespace {

// A client's own release toggle that answers for itself, unlike the file before the load: it must
// be asked every time. (It reads no state of its base, which the load changes unsynchronised.)
class OwnAnswerReleaseToggle : public ReleaseToggle {
public:
    using ReleaseToggle::ReleaseToggle;

protected:
    ToggleStatus GetCurrentStatusImpl() const override { return ToggleStatus::Enabled; }
};

// One toggle of each kind. The file enables "Stress.Release"; a guard forces "Stress.Forced".
struct EveryKind {
    explicit EveryKind(const ToggleStatusEvaluator& evaluator)
        : once(TestId("Stress.Once"), ToggleDefaultStatus::Disabled, evaluator,
               EvaluationStrategy::EvaluateOnce),
          always(TestId("Stress.Always"), ToggleDefaultStatus::Disabled, evaluator,
                 EvaluationStrategy::EvaluateAlways) {}

    // Wrong answers, given whether the file had been loaded before the queries and whether its
    // loading had started after them.
    int CountWrongAnswers(bool loadedBefore, const std::atomic<bool>& loading) const {
        const bool fromFile = IsToggleEnabled(release);
        const int wrong = !IsToggleEnabled(ownAnswer) + !IsToggleEnabled(forced) + IsToggleEnabled(debug) +
                          !IsToggleEnabled(once) + !IsToggleEnabled(always) + (loadedBefore && !fromFile);
        return wrong + (!loading && fromFile);
    }

    ReleaseToggle release{"Stress.Release", ToggleDefaultStatus::Disabled};
    OwnAnswerReleaseToggle ownAnswer{"Stress.Release", ToggleDefaultStatus::Disabled};
    ReleaseToggle forced{"Stress.Forced", ToggleDefaultStatus::Disabled};
    DebugToggle debug{"Stress", "Debug"};
    AutomaticallyEvaluatedToggle once;
    AutomaticallyEvaluatedToggle always;
};

}  // namespace

// Readers query one set of toggles throughout; a builder makes and drops twins of the same
// identities, and pauses while the main thread loads the override file under the readers.
TEST(ToggleStress, QueriesOfEveryKindStayRightWhileTwinsComeAndGoAndTheFileLoads) {
    TemporaryDirectory folder;
    folder.WriteFile(
        "ReleaseToggleOverrides.xml",
        R"(<ReleaseToggleOverrides><OverriddenValue toggleName="Stress.Release" status="Enabled"/>)"
        "</ReleaseToggleOverrides>");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    const ScopedPreferences preferences;
    const ScopedLogCapture log;
    const ScopedBugReportCapture reports;  // the load reports the readers' toggles as queried early
    SettableEvaluator evaluator;
    evaluator.Set("Stress.Once", ToggleStatus::Enabled);
    evaluator.Set("Stress.Always", ToggleStatus::Enabled);

    const EveryKind kinds(evaluator);
    const Testing::OverrideToggleValueGuard guard(kinds.forced, ToggleStatus::Enabled);
    std::atomic<bool> loading{false}, loaded{false}, builderPaused{false}, stop{false};
    EXPECT_EQ(kinds.CountWrongAnswers(false, loading), 0);
    std::atomic<int> wrongAnswers{0}, twinsBuilt{0};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([&] {
                while (!stop) {
                    wrongAnswers += kinds.CountWrongAnswers(loaded, loading);
                }
            });
        }
        threads.emplace_back([&] {
            while (!stop) {
                if (loading && !loaded) {
                    builderPaused = true;
                    std::this_thread::yield();
                    continue;
                }
                const bool afterLoad = loaded;
                const EveryKind twins(evaluator);
                wrongAnswers += twins.CountWrongAnswers(afterLoad, loading);
                ++twinsBuilt;
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        loading = true;
        while (!builderPaused) {
            std::this_thread::yield();
        }
        ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
        loaded = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    }
    EXPECT_EQ(wrongAnswers, 0);
    EXPECT_GT(twinsBuilt, 0);
    EXPECT_EQ(kinds.CountWrongAnswers(true, loading), 0);
}
