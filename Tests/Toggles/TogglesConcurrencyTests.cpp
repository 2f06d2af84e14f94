#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FeatureToggle/Registry/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"
#include "Toggles/ToggleTestAids.hpp"

using namespace FeatureToggleTests;

namespace {

constexpr int Threads = 8;
constexpr int Rounds = 200;

// Each round: `prepare` alone, then `body` on every thread at once, then `check` alone.
void RunInLockstep(const std::function<void()>& prepare, const std::function<void()>& body,
                   const std::function<void(int round)>& check) {
    std::barrier sync(Threads + 1);
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&] {
            for (int round = 0; round < Rounds; ++round) {
                sync.arrive_and_wait();
                body();
                sync.arrive_and_wait();
            }
        });
    }
    for (int round = 0; round < Rounds; ++round) {
        prepare();
        sync.arrive_and_wait();
        sync.arrive_and_wait();
        check(round);
    }
}

}  // namespace

TEST(OnceValueConcurrency, FirstQueriesTogetherComputeOnce) {
    std::unique_ptr<OnceValue<int>> value;
    std::atomic<int> computations{0};
    std::atomic<int> wrongResults{0};
    RunInLockstep([&] { value = std::make_unique<OnceValue<int>>(); },
                  [&] {
                      const int result = value->GetOrCompute([&] {
                          ++computations;
                          std::this_thread::yield();  // let the others pile up behind
                          return 42;
                      });
                      wrongResults += result != 42;
                  },
                  [&](int round) { EXPECT_EQ(computations, round + 1); });
    EXPECT_EQ(wrongResults, 0);
}

TEST(AutomaticallyEvaluatedToggleConcurrency, FirstQueriesTogetherEvaluateOnce) {
    SettableEvaluator evaluator;
    evaluator.Set("A", ToggleStatus::Enabled);
    std::unique_ptr<AutomaticallyEvaluatedToggle> toggle;
    std::atomic<int> wrongResults{0};
    RunInLockstep(
        [&] {
            toggle = std::make_unique<AutomaticallyEvaluatedToggle>(
                TestId("A"), ToggleDefaultStatus::Disabled, evaluator, EvaluationStrategy::EvaluateOnce);
        },
        [&] { wrongResults += !IsToggleEnabled(*toggle); },
        [&](int round) {
            EXPECT_EQ(evaluator.calls, round + 1);
            EXPECT_TRUE(ToggleAccessor::WasQueried(*toggle));
        });
    EXPECT_EQ(wrongResults, 0);
}

TEST(ToggleRegistryConcurrency, EnumerationRacesConstructionAndDestruction) {
    const ToggleRegistry& registry = ToggleRegistry::GetInstance();
    const ToggleId sharedId(TestId("Shared"));
    const ToggleId stableId(TestId("Stable"));
    std::atomic<int> buildersDone{0};
    int walks = 0;
    {
        FixedToggle stable(TestId("Stable"), ToggleStatus::Enabled);
        std::vector<std::jthread> builders;
        for (int t = 0; t < 2; ++t) {
            builders.emplace_back([&buildersDone, t] {
                const std::string own = "Own" + std::to_string(t);
                for (int i = 0; i < 3000; ++i) {
                    FixedToggle shared(TestId("Shared"), ToggleStatus::Enabled);
                    FixedToggle mine(TestId(own.c_str()), ToggleStatus::Enabled);
                }
                ++buildersDone;
            });
        }

        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (buildersDone < 2 && std::chrono::steady_clock::now() < deadline) {
            int stableSeen = 0;
            // Only the identity is read: a visited toggle's derived part may be half made.
            registry.EnumerateToggles(std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                stableSeen += ToggleAccessor::GetToggleId(toggle) == stableId;
            }));
            EXPECT_EQ(stableSeen, 1);
            registry.EnumerateTogglesById(sharedId,
                                          std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                                              EXPECT_EQ(ToggleAccessor::GetToggleId(toggle), sharedId);
                                          }));
            EXPECT_GE(registry.GetRegisteredToggleIds().GetSize(), 1u);
            ++walks;
        }
    }
    EXPECT_GT(walks, 0);
    EXPECT_EQ(buildersDone, 2);
    EXPECT_TRUE(registry.GetRegisteredToggleIds().IsEmpty());
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
        // Alive all along: queried by every thread and met by every walk.
        AutomaticallyEvaluatedToggle stable(TestId("Stable"), ToggleDefaultStatus::Disabled,
                                            everyTimeEvaluator, EvaluationStrategy::EvaluateAlways);
        AutomaticallyEvaluatedToggle automatic(TestId("Auto"), ToggleDefaultStatus::Disabled, evaluator,
                                               EvaluationStrategy::EvaluateOnce);
        const ToggleId stableIds[] = {ToggleId(TestId("Stable")), ToggleId(TestId("Auto"))};

        std::vector<std::jthread> threads;
        for (int t = 0; t < 2; ++t) {
            // Builders: batches of toggles, some sharing an identity across threads, each queried
            // once by its own thread.
            threads.emplace_back([&, t] {
                const std::string own = "Own" + std::to_string(t) + "-";
                while (!stop) {
                    std::vector<std::unique_ptr<Toggle>> batch;
                    for (int i = 0; i < 8; ++i) {
                        if (i % 2 == 0) {
                            batch.push_back(
                                std::make_unique<FixedToggle>(TestId("Shared"), ToggleStatus::Enabled));
                        } else {
                            batch.push_back(std::make_unique<AutomaticallyEvaluatedToggle>(
                                TestId((own + std::to_string(i)).c_str()), ToggleDefaultStatus::Disabled,
                                evaluator, EvaluationStrategy::EvaluateOnce));
                            ++automaticBuilt;
                        }
                    }
                    for (int i = 0; i < 8; ++i) {
                        wrongAnswers += IsToggleEnabled(*batch[i]) != (i % 2 == 0);
                    }
                }
            });
            // Queriers: the long-lived toggles, from several threads at once.
            threads.emplace_back([&] {
                while (!stop) {
                    wrongAnswers += !IsToggleEnabled(stable) + !IsToggleEnabled(automatic);
                }
            });
        }

        // This thread walks the registry meanwhile; a visited toggle may be half made, so only
        // its identity is read.
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
