#include <gtest/gtest.h>

TEST(TogglesPlaceholder, Builds) { SUCCEED(); }
