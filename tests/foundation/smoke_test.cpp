#include <gtest/gtest.h>
TEST(Smoke, Runs) { EXPECT_EQ(1 + 1, 2); }
TEST(Smoke, Second) { EXPECT_EQ(sizeof(void*), 8u); }
