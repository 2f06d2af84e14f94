#include <gtest/gtest.h>

TEST(PlatformPlaceholder, Builds) { SUCCEED(); }
