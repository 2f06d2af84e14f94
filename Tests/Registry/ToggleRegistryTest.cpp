#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>

#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "Support/ToggleTestAids.hpp"
#include "ZelkRoot/Preferences.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;

namespace {

using ReadOnlyCallback = std::function<void(const Toggle&)>;
using ModifiableCallback = std::function<void(Toggle&)>;

int CountById(const ToggleIdData& id) {
    int count = 0;
    std::as_const(ToggleRegistry::GetInstance())
        .EnumerateTogglesById(ToggleId(id), ReadOnlyCallback([&](const Toggle&) { ++count; }));
    return count;
}

}  // namespace

TEST(ToggleRegistry, EqualIdentitiesShareOneEntry) {
    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    auto first = std::make_unique<FixedToggle>(TestId("A"), ToggleStatus::Enabled);
    auto second = std::make_unique<FixedToggle>(TestId("A"), ToggleStatus::Enabled);
    const RegistryBasedToggleIdData lookalikeId("Test", ZelkPref::UserDomain, "", "A");
    FixedToggle lookalike(lookalikeId, ToggleStatus::Enabled);
    EXPECT_EQ(registry.GetRegisteredToggleIds().GetSize(), 2u);
    EXPECT_EQ(CountById(TestId("A")), 2);

    // The modifiable form hands on the registered objects themselves.
    registry.EnumerateTogglesById(ToggleId(TestId("A")), ModifiableCallback([](Toggle& toggle) {
                                      ToggleAccessor::SetStatusOverride(toggle, ToggleStatus::Disabled);
                                  }));
    EXPECT_FALSE(IsToggleEnabled(*second));
    EXPECT_TRUE(IsToggleEnabled(lookalike));

    // Unregistering what is not there changes nothing, and the registry stays usable after it.
    registry.Unregister(*first);
    registry.Unregister(*first);  // its identity is still there, the object is not
    EXPECT_EQ(CountById(TestId("A")), 1);
    first.reset();  // and once more
    second.reset();
    EXPECT_EQ(registry.GetRegisteredToggleIds().GetSize(), 1u);

    // Registered twice, the object is held once; one unregistration removes it.
    registry.Register(lookalike);
    EXPECT_EQ(CountById(lookalikeId), 1);
    registry.Unregister(lookalike);
    registry.Unregister(lookalike);  // its identity is gone too
    EXPECT_TRUE(registry.GetRegisteredToggleIds().IsEmpty());
}

TEST(ToggleRegistry, LockIsReleasedWhenCallbacksThrow) {
    ToggleRegistry& registry = ToggleRegistry::GetInstance();
    const ToggleRegistry& readOnly = registry;
    const ToggleId id(TestId("A"));

    FixedToggle toggle(TestId("A"), ToggleStatus::Enabled);
    EXPECT_THROW(
        readOnly.EnumerateToggles(ReadOnlyCallback([](const Toggle&) { throw std::runtime_error("x"); })),
        std::runtime_error);
    EXPECT_THROW(registry.EnumerateToggles(ModifiableCallback()), std::bad_function_call);
    EXPECT_THROW(registry.EnumerateTogglesById(id, ModifiableCallback()), std::bad_function_call);
    EXPECT_THROW(readOnly.EnumerateTogglesById(id, ReadOnlyCallback()), std::bad_function_call);
    // A leaked lock would hang here.
    FixedToggle another(TestId("B"), ToggleStatus::Enabled);
}
