#include <gtest/gtest.h>

#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "Support/TestSupport.hpp"
#include "ZelkRootTesting.hpp"

namespace {

using namespace FeatureToggle;
using Answer = Zelk::Optional<ToggleStatus>;
using Evaluator = RegistryBasedToggleStatusEvaluator;

const Answer Enabled(ToggleStatus::Enabled);
const Answer Disabled(ToggleStatus::Disabled);
const Answer None;

// Evaluates the preference Debug/<name>, checking that the root was closed exactly once.
Answer Evaluate(const Evaluator& evaluator, const char* name,
                ZelkPref::RootKeyDomain domain = ZelkPref::UserDomain) {
    const int closeCallsBefore = ZelkPref::Host::GetStatistics().closeCalls;
    const Answer answer =
        evaluator.EvaluateToggleStatus(ToggleId(RegistryBasedToggleIdData("Debug", domain, "Debug", name)));
    EXPECT_EQ(ZelkPref::Host::GetStatistics().closeCalls, closeCallsBefore + 1) << name;
    return answer;
}

TEST(RegistryBasedToggleStatusEvaluator, AnswersStoredBooleansWhateverTheStrategy) {
    const FeatureToggleTests::ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "On", "true");
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Off", "0");
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Bad", "maybe");
    for (const Evaluator& evaluator :
         {Evaluator(Evaluator::NoWriteBack), Evaluator(Evaluator::WriteBackStrategy(7))}) {
        EXPECT_EQ(Evaluate(evaluator, "On"), Enabled);
        EXPECT_EQ(Evaluate(evaluator, "Off"), Disabled);
        EXPECT_EQ(Evaluate(evaluator, "Bad"), None);
        EXPECT_EQ(Evaluate(evaluator, "Missing"), None);
        EXPECT_EQ(Evaluate(evaluator, "On", ZelkPref::ApplicationDomain), None);
    }
}

TEST(RegistryBasedToggleStatusEvaluator, ForcedCodesUnavailableRootsAndOtherKinds) {
    const FeatureToggleTests::ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "On", "true");
    const Evaluator evaluator(Evaluator::NoWriteBack);

    // A finished read that left the boolean alone: the status is its initial false.
    ZelkPref::Host::ForceReadResult(ZelkPref::ResultValueEmpty);
    EXPECT_EQ(Evaluate(evaluator, "On"), Disabled);
    ZelkPref::Host::ForceReadResult(ZelkPref::ResultValueNotFound);
    EXPECT_EQ(Evaluate(evaluator, "On"), None);
    ZelkPref::Host::ForceReadResult(std::nullopt);
    ZelkPref::Host::SetDomainUnavailable(ZelkPref::UserDomain, true);
    EXPECT_EQ(Evaluate(evaluator, "On"), None);
    ZelkPref::Host::SetDomainUnavailable(ZelkPref::UserDomain, false);

    const int opened = ZelkPref::Host::GetStatistics().rootsOpened;
    EXPECT_EQ(evaluator.EvaluateToggleStatus(ToggleId(FileBasedToggleIdData("Debug", "On"))), None);
    EXPECT_EQ(ZelkPref::Host::GetStatistics().rootsOpened, opened);
}

}  // namespace
