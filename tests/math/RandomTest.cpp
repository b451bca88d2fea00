#include "math/Random.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

TEST(Random, FirstDrawsAfterSeedOne) {
    // s1 = 22695478 = 0x015A4E36; s2 = 22695478 * 22695477 + 1 mod 2^32 = 0x8082A52F, whose
    // top bit is masked off; s3 = 0xAAE684BC.
    Random random(1);
    EXPECT_EQ(random.next(), 0x015A);
    EXPECT_EQ(random.next(), 0x0082);
    EXPECT_EQ(random.next(), 0x2AE6);
}

TEST(Random, SeedZeroStartsFromOne) {
    // s1 = 1, s2 = 22695478: both upper halves lie below the 16-bit shift.
    Random random(0);
    EXPECT_EQ(random.next(), 0);
    EXPECT_EQ(random.next(), 0x015A);
}

TEST(Random, DrawsKeepFifteenBits) {
    // s1 = 0x80000000 * 22695477 + 1 mod 2^32 = 0x80000001; bit 31 is masked away.
    Random random(0x80000000u);
    EXPECT_EQ(random.next(), 0);
}

TEST(Random, ReseedingRepeatsTheSequence) {
    Random random;
    const int first = random.next();
    const int second = random.next();
    random.seed(1);
    EXPECT_EQ(random.next(), first);
    EXPECT_EQ(random.next(), second);
}

} // namespace
} // namespace velmorra
