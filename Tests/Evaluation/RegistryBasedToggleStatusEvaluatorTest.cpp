#include <gtest/gtest.h>

#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using Answer = Zelk::Optional<ToggleStatus>;

const Answer Enabled(ToggleStatus::Enabled);
const Answer Disabled(ToggleStatus::Disabled);
const Answer None;

// Evaluates the preference Debug/<name>, checking that the root was closed exactly once.
Answer Evaluate(const RegistryBasedToggleStatusEvaluator& evaluator, const char* name,
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
    const RegistryBasedToggleStatusEvaluator evaluator(RegistryBasedToggleStatusEvaluator::NoWriteBack);
    const RegistryBasedToggleStatusEvaluator other(
        static_cast<RegistryBasedToggleStatusEvaluator::WriteBackStrategy>(7));
    for (const RegistryBasedToggleStatusEvaluator* e : {&evaluator, &other}) {
        EXPECT_EQ(Evaluate(*e, "On"), Enabled);
        EXPECT_EQ(Evaluate(*e, "Off"), Disabled);
        EXPECT_EQ(Evaluate(*e, "Bad"), None);
        EXPECT_EQ(Evaluate(*e, "Missing"), None);
        EXPECT_EQ(Evaluate(*e, "On", ZelkPref::ApplicationDomain), None);
    }
}

TEST(RegistryBasedToggleStatusEvaluator, ForcedCodesUnavailableRootsAndOtherKinds) {
    const FeatureToggleTests::ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "On", "true");
    const RegistryBasedToggleStatusEvaluator evaluator(RegistryBasedToggleStatusEvaluator::NoWriteBack);

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
