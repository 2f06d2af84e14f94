#include <optional>

#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "Support/TestSupport.hpp"

namespace {

using namespace FeatureToggle;
using Answer = Zelk::Optional<ToggleStatus>;
using Evaluator = RegistryBasedToggleStatusEvaluator;

// A finished read (ok, or empty and so the boolean's initial false) gives a status, any other
// code none; the root is closed after every read, also when it could not be opened.
TEST(RegistryBasedToggleStatusEvaluator, AnswersFinishedReadsOnlyAndClosesTheRoot) {
    const FeatureToggleTests::ScopedPreferences preferences;
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "On", "true");
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Off", "0");
    ZelkPref::Host::SetValue(ZelkPref::UserDomain, "Debug", "Bad", "maybe");
    const struct {
        const char* name;
        Answer answer;
        std::optional<Zelk::UInt32> forced = std::nullopt;
        ZelkPref::RootKeyDomain domain = ZelkPref::UserDomain;
        bool unavailable = false;
    } rows[] = {
        {"On", ToggleStatus::Enabled},
        {"Off", ToggleStatus::Disabled},
        {"Bad", {}},
        {"Missing", {}},
        {"On", {}, std::nullopt, ZelkPref::ApplicationDomain},
        {"On", ToggleStatus::Disabled, ZelkPref::ResultValueEmpty},
        {"On", {}, ZelkPref::ResultValueNotFound},
        {"On", {}, std::nullopt, ZelkPref::UserDomain, true},
    };
    for (const Evaluator& evaluator :
         {Evaluator(Evaluator::NoWriteBack), Evaluator(Evaluator::WriteBackStrategy(7))}) {
        for (const auto& row : rows) {
            ZelkPref::Host::ForceReadResult(row.forced);
            ZelkPref::Host::SetDomainUnavailable(ZelkPref::UserDomain, row.unavailable);
            const int closeCalls = ZelkPref::Host::GetStatistics().closeCalls;
            EXPECT_EQ(evaluator.EvaluateToggleStatus(
                          ToggleId(RegistryBasedToggleIdData("Debug", row.domain, "Debug", row.name))),
                      row.answer)
                << row.name;
            EXPECT_EQ(ZelkPref::Host::GetStatistics().closeCalls, closeCalls + 1) << row.name;
        }
    }

    // Other kinds of identity are not looked up.
    const int opened = ZelkPref::Host::GetStatistics().rootsOpened;
    EXPECT_FALSE(Evaluator(Evaluator::NoWriteBack)
                     .EvaluateToggleStatus(ToggleId(FileBasedToggleIdData("Debug", "On")))
                     .HasValue());
    EXPECT_EQ(ZelkPref::Host::GetStatistics().rootsOpened, opened);
}

}  // namespace
