#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "Support/TestToggleIdData.hpp"
#include "ZelkRoot/Memory.hpp"
#include "ZelkRoot/Preferences.hpp"

namespace {

using namespace FeatureToggle;
using FeatureToggleTests::TestToggleIdData;
ToggleId Registry(const char* kind, ZelkPref::RootKeyDomain domain, const char* path, const char* name) {
    return ToggleId(RegistryBasedToggleIdData(kind, domain, path, name));
}

Zelk::UInt64 LivePlatformAllocations() {
    const Zelk::MemoryManager::Statistics statistics = Zelk::MemoryManager::GetStatistics();
    return statistics.allocations - statistics.frees;
}

TEST(ToggleId, DisplayOfEachKindAndEqualityOnEveryField) {
    EXPECT_STREQ(ToggleId(FileBasedToggleIdData("Release", "NewImporter")).GetDisplayString().ToCStr(),
                 "[Release]  name=\"NewImporter\"");
    EXPECT_STREQ(Registry("Debug", ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate")
                     .GetDisplayString()
                     .ToCStr(),
                 "[Debug]  path=\"Debug/Rendering\" key=\"ShowFrameRate\"");

    const ToggleId id = Registry("Debug", ZelkPref::UserDomain, "Name", "Name");
    const ToggleId same = Registry("Debug", ZelkPref::UserDomain, "Name", "Name");
    EXPECT_TRUE(id == same);
    EXPECT_EQ(id.GenerateHashValue(), same.GenerateHashValue());
    for (const ToggleId& other : {ToggleId(FileBasedToggleIdData("Debug", "Name")),
                                  Registry("Other", ZelkPref::UserDomain, "Name", "Name"),
                                  Registry("Debug", ZelkPref::ApplicationDomain, "Name", "Name"),
                                  Registry("Debug", ZelkPref::UserDomain, "Other", "Name"),
                                  Registry("Debug", ZelkPref::UserDomain, "Name", "Other")}) {
        EXPECT_FALSE(id == other) << other.GetDisplayString().ToCStr();
        EXPECT_FALSE(other == id) << other.GetDisplayString().ToCStr();
    }
    EXPECT_TRUE(ToggleId(FileBasedToggleIdData("Release", "A")) !=
                ToggleId(FileBasedToggleIdData("Beta", "A")));

    // The second payload is asked even when the first already said no.
    TestToggleIdData::equalsCalls = 0;
    EXPECT_FALSE(ToggleId(TestToggleIdData("x")) == ToggleId(TestToggleIdData("y")));
    EXPECT_EQ(TestToggleIdData::equalsCalls, 2);
}

TEST(ToggleId, CopiesCloneOnThePlatformHeapAndMovesEmptyTheSource) {
    // Short strings stay inline, so payload clones are the only platform allocations.
    const Zelk::UInt64 before = LivePlatformAllocations();
    {
        ToggleId source(FileBasedToggleIdData("Release", "A"));
        ToggleId copy(source);
        EXPECT_EQ(LivePlatformAllocations(), before + 2);
        const ToggleIdData* const payload = copy.GetData();
        ToggleId& alias = copy;
        copy = alias;
        const ToggleId moved(std::move(copy));
        EXPECT_EQ(copy.GetData(), nullptr);
        EXPECT_EQ(moved.GetData(), payload);  // self-assignment kept it, the move took it

        ToggleId target = Registry("Debug", ZelkPref::UserDomain, "P", "N");
        target = std::move(source);
        EXPECT_EQ(source.GetData(), nullptr);
        copy = source;
        EXPECT_EQ(copy.GetData(), nullptr);
        EXPECT_EQ(LivePlatformAllocations(), before + 2);
    }
    EXPECT_EQ(LivePlatformAllocations(), before);
}

TEST(ToggleId, FailedCloneKeepsTheAssignedIdentity) {
    ToggleId target(FileBasedToggleIdData("Release", "Old"));
    const ToggleId source(TestToggleIdData("New"));
    TestToggleIdData::FailNthClone(1);
    EXPECT_THROW(target = source, std::runtime_error);
    EXPECT_STREQ(target.GetDisplayString().ToCStr(), "[Release]  name=\"Old\"");
}

}  // namespace
