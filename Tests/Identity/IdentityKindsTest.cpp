#include <gtest/gtest.h>

#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"

namespace {

using namespace FeatureToggle;
using Zelk::UInt64;

UInt64 H(const char* text) {
    return Zelk::String(text).GenerateHashValue();
}

// The sum of field × 65599^position modulo 2^32, in 64-bit arithmetic: apart from the library's
// nested 32-bit form.
UInt64 Polynomial(std::initializer_list<UInt64> fields) {
    constexpr UInt64 modulus = UInt64{1} << 32;
    UInt64 sum = 0;
    UInt64 power = 1;
    for (const UInt64 field : fields) {
        sum = (sum + field * power % modulus) % modulus;
        power = power * 65599 % modulus;
    }
    return sum;
}

TEST(FileBasedToggleIdData, HashDisplayAndEquality) {
    const ToggleId importer(FileBasedToggleIdData("Release", "NewImporter"));
    EXPECT_EQ(importer.GenerateHashValue(), Polynomial({H("Release"), H("NewImporter")}));
    EXPECT_EQ(ToggleId(FileBasedToggleIdData("Beta", "")).GenerateHashValue(),
              Polynomial({H("Beta"), H("")}));
    EXPECT_TRUE(importer != ToggleId(FileBasedToggleIdData("Beta", "NewImporter")));
    EXPECT_STREQ(importer.GetDisplayString().ToCStr(), "[Release]  name=\"NewImporter\"");
    EXPECT_STREQ(ToggleId(FileBasedToggleIdData("Release", "")).GetDisplayString().ToCStr(),
                 "[Release]  name=\"\"");
    EXPECT_STREQ(FileBasedToggleIdData("Release", "NewImporter").GetIdString().ToCStr(), "NewImporter");
}

TEST(RegistryBasedToggleIdData, HashDisplayAndEquality) {
    const RegistryBasedToggleIdData data("Debug", ZelkPref::UserDomain, "Debug/Rendering", "ShowFrameRate");
    EXPECT_EQ(data.GenerateHashValue(),
              Polynomial({H("Debug"), ZelkPref::UserDomain, H("Debug/Rendering"), H("ShowFrameRate")}));
    const RegistryBasedToggleIdData otherDomain("Debug", ZelkPref::ApplicationDomain, "Debug/Rendering",
                                                "ShowFrameRate");
    EXPECT_FALSE(data.Equals(otherDomain));
    EXPECT_FALSE(data.Equals(
        RegistryBasedToggleIdData("Debug", ZelkPref::UserDomain, "ShowFrameRate", "Debug/Rendering")));
    EXPECT_TRUE(data.Equals(RegistryBasedToggleIdData(data)));

    EXPECT_STREQ(data.GetDisplayString().ToCStr(), "[Debug]  path=\"Debug/Rendering\" key=\"ShowFrameRate\"");
    EXPECT_STREQ(otherDomain.GetDisplayString().ToCStr(), data.GetDisplayString().ToCStr());
    EXPECT_STREQ(RegistryBasedToggleIdData("Debug", ZelkPref::UserDomain, "", "").GetDisplayString().ToCStr(),
                 "[Debug]  path=\"\" key=\"\"");
    EXPECT_STREQ(data.GetPath().ToCStr(), "Debug/Rendering");
    EXPECT_STREQ(data.GetName().ToCStr(), "ShowFrameRate");
}

}  // namespace
