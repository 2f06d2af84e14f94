#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "Identity/TestToggleIdData.hpp"

namespace {

using namespace FeatureToggle;
using FeatureToggleTests::TestToggleIdData;

Zelk::UInt64 LivePlatformAllocations() {
    const Zelk::MemoryManager::Statistics statistics = Zelk::MemoryManager::GetStatistics();
    return statistics.allocations - statistics.frees;
}

TEST(ToggleId, CopiesCloneOnThePlatformHeapAndMovesEmptyTheSource) {
    // Short strings stay inline, so payload clones are the only platform allocations.
    const Zelk::UInt64 before = LivePlatformAllocations();
    {
        ToggleId source(FileBasedToggleIdData("Release", "A"));
        ToggleId copy(source);
        EXPECT_EQ(LivePlatformAllocations(), before + 2);
        EXPECT_TRUE(copy == source);
        EXPECT_EQ(copy.GenerateHashValue(), source.GenerateHashValue());

        const ToggleIdData* const payload = copy.GetData();
        ToggleId& alias = copy;
        copy = alias;
        EXPECT_EQ(copy.GetData(), payload);

        ToggleId target(RegistryBasedToggleIdData("Debug", ZelkPref::UserDomain, "P", "N"));
        target = std::move(source);
        EXPECT_EQ(source.GetData(), nullptr);
        const ToggleId moved(std::move(copy));
        EXPECT_EQ(copy.GetData(), nullptr);
        EXPECT_EQ(moved.GetData(), payload);

        copy = target;
        EXPECT_TRUE(copy == moved);
        copy = source;
        EXPECT_EQ(copy.GetData(), nullptr);
        EXPECT_EQ(LivePlatformAllocations(), before + 2);
    }
    EXPECT_EQ(LivePlatformAllocations(), before);
}

TEST(ToggleId, FailedCloneKeepsTheAssignedIdentity) {
    const ToggleId old(FileBasedToggleIdData("Release", "Old"));
    ToggleId target(old);
    const ToggleId source(TestToggleIdData("New"));
    TestToggleIdData::FailNthClone(1);
    EXPECT_THROW(target = source, std::runtime_error);
    EXPECT_TRUE(target == old);
    EXPECT_STREQ(target.GetDisplayString().ToCStr(), "[Release]  name=\"Old\"");
}

TEST(ToggleId, EqualityAsksBothPayloadsSoKindsNeverMix) {
    const ToggleId file(FileBasedToggleIdData("Debug", "Name"));
    const ToggleId registry(RegistryBasedToggleIdData("Debug", ZelkPref::UserDomain, "Name", "Name"));
    EXPECT_FALSE(file == registry);
    EXPECT_FALSE(registry == file);
    EXPECT_TRUE(file != registry);
    EXPECT_FALSE(file != ToggleId(FileBasedToggleIdData("Debug", "Name")));

    // The second payload is asked even when the first already said no.
    TestToggleIdData::equalsCalls = 0;
    EXPECT_FALSE(ToggleId(TestToggleIdData("x")) == ToggleId(TestToggleIdData("y")));
    EXPECT_EQ(TestToggleIdData::equalsCalls, 2);
}

}  // namespace
