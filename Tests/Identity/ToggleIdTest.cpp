#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>
#include <utility>

#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "Support/TestToggleIdData.hpp"

namespace {

using namespace FeatureToggle;
using FeatureToggleTests::TestToggleIdData;
using Zelk::UInt32;

UInt32 H(const char* text) {
    return Zelk::String(text).GenerateHashValue();
}

// Base 65599 over the fields, the first least significant, wrapping in 32 bits.
UInt32 Polynomial(std::initializer_list<UInt32> fields) {
    UInt32 sum = 0;
    for (auto field = std::rbegin(fields); field != std::rend(fields); ++field) {
        sum = sum * 65599 + *field;
    }
    return sum;
}

ToggleId Registry(const char* kind, ZelkPref::RootKeyDomain domain, const char* path, const char* name) {
    return ToggleId(RegistryBasedToggleIdData(kind, domain, path, name));
}

Zelk::UInt64 LivePlatformAllocations() {
    const Zelk::MemoryManager::Statistics statistics = Zelk::MemoryManager::GetStatistics();
    return statistics.allocations - statistics.frees;
}

TEST(ToggleId, HashAndDisplayOfEachKind) {
    const ToggleId file(FileBasedToggleIdData("Release", "NewImporter"));
    EXPECT_EQ(file.GenerateHashValue(), Polynomial({H("Release"), H("NewImporter")}));
    EXPECT_STREQ(file.GetDisplayString().ToCStr(), "[Release]  name=\"NewImporter\"");

    const ToggleId registry = Registry("Debug", ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate");
    EXPECT_EQ(registry.GenerateHashValue(),
              Polynomial({H("Debug"), ZelkPref::UserDomain, H("Debug/Rendering"), H("ShowFrameRate")}));
    EXPECT_STREQ(registry.GetDisplayString().ToCStr(),
                 "[Debug]  path=\"Debug/Rendering\" key=\"ShowFrameRate\"");
}

TEST(ToggleId, EqualOnlyWithinOneKindAndOnEveryField) {
    const ToggleId id = Registry("Debug", ZelkPref::UserDomain, "Name", "Name");
    EXPECT_TRUE(id == Registry("Debug", ZelkPref::UserDomain, "Name", "Name"));
    EXPECT_FALSE(id != Registry("Debug", ZelkPref::UserDomain, "Name", "Name"));
    for (const ToggleId& other : {ToggleId(FileBasedToggleIdData("Debug", "Name")),
                                  Registry("Other", ZelkPref::UserDomain, "Name", "Name"),
                                  Registry("Debug", ZelkPref::ApplicationDomain, "Name", "Name"),
                                  Registry("Debug", ZelkPref::UserDomain, "Name", "Other")}) {
        EXPECT_FALSE(id == other) << other.GetDisplayString().ToCStr();
        EXPECT_FALSE(other == id) << other.GetDisplayString().ToCStr();
        EXPECT_TRUE(id != other) << other.GetDisplayString().ToCStr();
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
        EXPECT_TRUE(copy == source);
        EXPECT_EQ(copy.GenerateHashValue(), source.GenerateHashValue());

        const ToggleIdData* const payload = copy.GetData();
        ToggleId& alias = copy;
        copy = alias;
        EXPECT_EQ(copy.GetData(), payload);
        const ToggleId moved(std::move(copy));
        EXPECT_EQ(copy.GetData(), nullptr);
        EXPECT_EQ(moved.GetData(), payload);

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
