#include <gtest/gtest.h>

TEST(EvaluationPlaceholder, Builds) { SUCCEED(); }
