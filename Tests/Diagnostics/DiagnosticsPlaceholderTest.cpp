#include <gtest/gtest.h>

TEST(DiagnosticsPlaceholder, Builds) { SUCCEED(); }
