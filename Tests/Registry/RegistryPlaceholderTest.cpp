#include <gtest/gtest.h>

TEST(RegistryPlaceholder, Builds) { SUCCEED(); }
