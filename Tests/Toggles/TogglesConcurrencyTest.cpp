#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>
#include <thread>

#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/OnceValue.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "Support/Rendezvous.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

// These tests hold the library to the calls that "the contract of a toggle kind" in Toggle.hpp
// lets run at the same time.

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
    Rendezvous sync(Threads + 1);
    std::vector<std::jthread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                sync.ArriveAndWait();
                wrongResults += t % 2 == 1 ? !IsToggleEnabled(*toggle) : value->GetOrCompute([&] {
                    ++computations;
                    std::this_thread::yield();  // let the others pile up behind
                    return 42;
                }) != 42;
                sync.ArriveAndWait();
            }
        });
    }
    for (int round = 0; round < Rounds; ++round) {
        value = std::make_unique<OnceValue<int>>();
        toggle = std::make_unique<AutomaticallyEvaluatedToggle>(TestId("A"), ToggleDefaultStatus::Disabled,
                                                                evaluator, EvaluationStrategy::EvaluateOnce);
        sync.ArriveAndWait();
        sync.ArriveAndWait();
        EXPECT_EQ(computations, round + 1);
        EXPECT_EQ(evaluator.calls, round + 1);
        EXPECT_TRUE(ToggleAccessor::WasQueried(*toggle));
    }
    EXPECT_EQ(wrongResults, 0);
}

namespace {

// A client's own release toggle that answers for itself: it must be asked every time.
class OwnAnswerReleaseToggle : public ReleaseToggle {
public:
    using ReleaseToggle::ReleaseToggle;

protected:
    ToggleStatus GetCurrentStatusImpl() const override { return ToggleStatus::Enabled; }
};

// One toggle of each kind; a guard forces "Stress.Forced".
struct EveryKind {
    EveryKind(const ToggleStatusEvaluator& onceEvaluator, const ToggleStatusEvaluator& alwaysEvaluator)
        : once(TestId("Stress.Once"), ToggleDefaultStatus::Disabled, onceEvaluator,
               EvaluationStrategy::EvaluateOnce),
          always(TestId("Stress.Always"), ToggleDefaultStatus::Disabled, alwaysEvaluator,
                 EvaluationStrategy::EvaluateAlways) {}

    int CountWrongAnswers() const {
        return IsToggleEnabled(release) + !IsToggleEnabled(ownAnswer) + !IsToggleEnabled(forced) +
               IsToggleEnabled(debug) + !IsToggleEnabled(once) + !IsToggleEnabled(always);
    }

    ReleaseToggle release{"Stress.Release", ToggleDefaultStatus::Disabled};
    OwnAnswerReleaseToggle ownAnswer{"Stress.Release", ToggleDefaultStatus::Disabled};
    ReleaseToggle forced{"Stress.Forced", ToggleDefaultStatus::Disabled};
    DebugToggle debug{"Stress", "Debug"};
    AutomaticallyEvaluatedToggle once;
    AutomaticallyEvaluatedToggle always;
};

}  // namespace

// Readers query one set of toggles throughout while builders make and drop twins of the same
// identities and the main thread walks the registry.
TEST(ToggleStress, QueriesWalksAndTwinsStayRightAndEveryToggleIsAccountedFor) {
    const ScopedPreferences preferences;
    SettableEvaluator onceEvaluator, alwaysEvaluator;
    onceEvaluator.Set("Stress.Once", ToggleStatus::Enabled);
    alwaysEvaluator.Set("Stress.Always", ToggleStatus::Enabled);
    const ToggleRegistry& registry = ToggleRegistry::GetInstance();
    std::atomic<bool> stop{false};
    std::atomic<int> wrongAnswers{0}, twinsBuilt{0};
    int badWalks = 0, twinsSeen = 0;
    {
        const EveryKind kinds(onceEvaluator, alwaysEvaluator);
        const Testing::OverrideToggleValueGuard guard(kinds.forced, ToggleStatus::Enabled);
        const Toggle* const own[] = {&kinds.release, &kinds.ownAnswer, &kinds.forced,
                                     &kinds.debug,   &kinds.once,      &kinds.always};
        const Zelk::HashSet<ToggleId> ids = registry.GetRegisteredToggleIds();
        EXPECT_EQ(ids.GetSize(), 5u);
        const ToggleId& onceId = ToggleAccessor::GetToggleId(kinds.once);
        // A visited twin may be half made, so only its identity is read.
        const auto walkFor = [&](std::chrono::milliseconds period) {
            for (const auto end = std::chrono::steady_clock::now() + period;
                 std::chrono::steady_clock::now() < end;) {
                int ownSeen = 0;
                registry.EnumerateToggles(std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                    const bool isOwn = std::find(std::begin(own), std::end(own), &toggle) != std::end(own);
                    ownSeen += isOwn;
                    twinsSeen += !isOwn;
                    badWalks += !ids.Contains(ToggleAccessor::GetToggleId(toggle));
                }));
                registry.EnumerateTogglesById(
                    onceId, std::function<void(const Toggle&)>([&](const Toggle& toggle) {
                        badWalks += !(ToggleAccessor::GetToggleId(toggle) == onceId);
                    }));
                badWalks += ownSeen != 6 || registry.GetRegisteredToggleIds().GetSize() != ids.GetSize();
            }
        };

        std::vector<std::jthread> threads;
        for (int t = 0; t < 2; ++t) {
            threads.emplace_back([&] {
                while (!stop) {
                    wrongAnswers += kinds.CountWrongAnswers();
                }
            });
            threads.emplace_back([&] {
                while (!stop) {
                    const EveryKind twins(onceEvaluator, alwaysEvaluator);
                    wrongAnswers += twins.CountWrongAnswers();
                    ++twinsBuilt;
                }
            });
        }
        walkFor(std::chrono::milliseconds(1000));
        stop = true;
        threads.clear();
    }
    EXPECT_EQ(wrongAnswers, 0);
    EXPECT_EQ(badWalks, 0);
    EXPECT_GT(twinsSeen, 0);
    // Each once-evaluated toggle asked its evaluator exactly once.
    EXPECT_EQ(onceEvaluator.calls, twinsBuilt + 1);
    EXPECT_TRUE(registry.GetRegisteredToggleIds().IsEmpty());
}

// Each round, threads make the first query of each of some toggles made just before, as the main
// thread changes that toggle's status: a trigger, a guard made or ended; once, the load changes
// them all. Once the change has ended, every query on every thread answers the new status.
TEST(ToggleStress, FirstQueriesMeetingAStatusChangeEndOnTheNewStatus) {
    constexpr int Threads = 2, Rounds = 600, Count = 64;
    enum Change { Trigger, GuardMade, GuardEnded, Load };
    TemporaryDirectory folder;
    folder.WriteFile("ReleaseToggleOverrides.xml",
                     R"(<ReleaseToggleOverrides><OverriddenValue toggleName="Filed" status="Enabled"/>)"
                     "</ReleaseToggleOverrides>");
    const ScopedOverrideFolder overrideFolder(folder.GetPath());
    const ScopedPreferences preferences;
    const ScopedLogCapture log;
    const ErrorReporter::ReportGuard reports;  // queried before evaluation, guards after the load
    SettableEvaluator evaluator;
    evaluator.Set("Triggered", ToggleStatus::Enabled);
    std::vector<std::unique_ptr<Toggle>> toggles;
    std::vector<std::unique_ptr<Testing::OverrideToggleValueGuard>> guards;
    bool after = false;
    std::atomic<int> changing{0}, wrongAnswers{0};
    Rendezvous meet(Threads + 1);
    std::vector<std::jthread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&] {
            // How long into a toggle's change its first query comes: aimed at the moment the status
            // changes, later after a query that came before it, sooner after one that came after.
            int delay = 0;
            for (int round = 0; round < Rounds; ++round) {
                meet.ArriveAndWait();  // the toggles are made
                for (int i = 0; i < Count; ++i) {
                    for (int spins = 0; changing < i; ++spins) {
                        if (spins > 64) {
                            std::this_thread::yield();
                        }
                    }
                    for (int wait = delay; wait > 0 && changing == i; --wait) {
                    }
                    delay = std::max(delay + (IsToggleEnabled(*toggles[i]) == after ? -1 : 1), 0);
                }
                meet.ArriveAndWait();  // the change has ended
                for (const auto& toggle : toggles) {
                    wrongAnswers += IsToggleEnabled(*toggle) != after;
                }
                meet.ArriveAndWait();
            }
        });
    }
    for (int round = 0; round < Rounds; ++round) {
        const Change change = round == Rounds / 2 ? Load : static_cast<Change>(round % 3);
        for (int i = 0; i < Count; ++i) {
            // A guard forces an identity: each toggle a guard changes has its own.
            const std::string name = change == Load ? "Filed" : std::to_string(i);
            if (change == Trigger) {
                toggles.push_back(std::make_unique<OnDemandEvaluatedToggle>(
                    TestId("Triggered"), ToggleDefaultStatus::Disabled, evaluator,
                    OnDemandEvaluationOptions::EvaluateOnTriggerOnly));
            } else if (change == Load || round % 2 == 0) {
                toggles.push_back(
                    std::make_unique<ReleaseToggle>(name.c_str(), ToggleDefaultStatus::Disabled));
            } else {  // it publishes its status at its first query, on the querying thread
                toggles.push_back(std::make_unique<DebugToggle>("Stress", name.c_str()));
            }
        }
        const auto guard = [&](int i) {
            guards.push_back(
                std::make_unique<Testing::OverrideToggleValueGuard>(*toggles[i], ToggleStatus::Enabled));
        };
        for (int i = 0; change == GuardEnded && i < Count; ++i) {
            guard(i);
        }
        after = change != GuardEnded;
        changing = change == Load ? Count : 0;
        meet.ArriveAndWait();
        if (change == Load) {
            ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
        }
        for (int i = 0; change != Load && i < Count; changing = ++i) {
            if (change == Trigger) {
                OnDemandEvaluatedToggleEvaluationTriggerer::Evaluate(
                    static_cast<OnDemandEvaluatedToggle&>(*toggles[i]));
            } else if (change == GuardMade) {
                guard(i);
            } else {
                guards[i].reset();
            }
        }
        meet.ArriveAndWait();
        meet.ArriveAndWait();
        guards.clear();
        toggles.clear();
    }
    threads.clear();
    EXPECT_EQ(wrongAnswers, 0);
}
