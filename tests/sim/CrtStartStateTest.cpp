#include <platform/crt.h>

#include <gtest/gtest.h>

// This program holds this one test alone, so nothing has drawn from or
// reseeded the generator before it runs: it sees the state a process starts
// with.
TEST(CrtRandAtProcessStart, StartsFromStateOne) {
    EXPECT_EQ(crt::rand(), 41);
    EXPECT_EQ(crt::rand(), 18467);
    EXPECT_EQ(crt::rand(), 6334);
}
