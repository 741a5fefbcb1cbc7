// The MinGW compile probe of the USER32 subset, run natively: every call it makes succeeds.
#include <gtest/gtest.h>

int probe_user();

TEST(UserProbe, RunsWithoutFailures) {
    EXPECT_EQ(probe_user(), 0);
}
