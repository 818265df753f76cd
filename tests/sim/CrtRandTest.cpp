#include <platform/crt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

namespace {

struct SeedCase {
    unsigned int seed;
    std::array<int, 5> firstDraws;
};

class CrtRandSequence : public testing::TestWithParam<SeedCase> {};

TEST_P(CrtRandSequence, FirstDrawsAfterSrand) {
    const SeedCase& c = GetParam();
    crt::srand(c.seed);
    for (int expected : c.firstDraws) {
        EXPECT_EQ(crt::rand(), expected);
    }
}

// Seed 1 is the sequence every process starts with; 0xFFFFFFFF makes the
// first multiply wrap modulo 2^32.
INSTANTIATE_TEST_SUITE_P(KnownSequences, CrtRandSequence,
                         testing::Values(SeedCase{1, {41, 18467, 6334, 26500, 19169}},
                                         SeedCase{0, {38, 7719, 21238, 2437, 8855}},
                                         SeedCase{0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}},
                                         SeedCase{12345, {7584, 19164, 25795, 22125, 5828}}),
                         [](const testing::TestParamInfo<SeedCase>& info) {
                             return "Seed" + std::to_string(info.param.seed);
                         });

TEST(CrtRand, StaysWithinFifteenBitsAndReachesBothEnds) {
    crt::srand(1);
    int lowest = crt::kRandMax;
    int highest = 0;
    for (int draw = 0; draw < 1 << 20; ++draw) {
        const int value = crt::rand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, crt::kRandMax);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, crt::kRandMax);
}

TEST(CrtRand, IsIndependentOfTheHostGenerator) {
    crt::srand(1);
    std::srand(1);
    static_cast<void>(std::rand());
    EXPECT_EQ(crt::rand(), 41);
    std::srand(7);
    EXPECT_EQ(crt::rand(), 18467);
}

} // namespace
