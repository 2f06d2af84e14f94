// A test that forces one toggle twice at once without expecting the library's report: with the
// GoogleTest aids installed, the report fails the test.
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Testing/GoogleTest.hpp"

namespace {

FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Disabled);

}  // namespace

TEST(NewImporter, ForcedTwiceAtOnce) {
    const FeatureToggle::Testing::OverrideToggleValueGuard outer(newImporter,
                                                                 FeatureToggle::ToggleStatus::Enabled);
    const FeatureToggle::Testing::OverrideToggleValueGuard inner(newImporter,
                                                                 FeatureToggle::ToggleStatus::Disabled);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    FeatureToggle::Testing::FailTestsOnToggleErrors();
    return RUN_ALL_TESTS();
}
