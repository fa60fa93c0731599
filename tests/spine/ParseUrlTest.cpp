#include <gtest/gtest.h>

#include "framework/ParseUrl.h"

TEST(ParseUrl, Placeholder) { EXPECT_TRUE(true); }
