#include <gtest/gtest.h>

TEST(IdentityPlaceholder, Builds) { SUCCEED(); }
