#include "draw/MipmapChain.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmorra {
namespace {

using draw::MipmapChain;
using draw::RgbLevel;

RgbLevel grey(int width, int height, std::vector<unsigned char> values) {
    RgbLevel level{width, height, {}};
    for (const unsigned char v : values) {
        level.pixels.insert(level.pixels.end(), {v, v, v});
    }
    return level;
}

TEST(MipmapChain, HalvingAveragesEachBlockRoundingToNearest) {
    // (10 + 20 + 30 + 41 + 2) / 4 = 25.75 -> 25 as integer division of the rounded sum.
    EXPECT_EQ(MipmapChain::halved(grey(2, 2, {10, 20, 30, 41})).pixels[0], 25);
    // A column of 4 halves to 2, averaging pairs.
    const RgbLevel column = MipmapChain::halved(grey(1, 4, {0, 100, 200, 255}));
    EXPECT_EQ(column.width, 1);
    EXPECT_EQ(column.height, 2);
    EXPECT_EQ(column.pixels[0], 50);
    EXPECT_EQ(column.pixels[3], 228);
}

TEST(MipmapChain, ScalesToPowersOfTwoThenHalvesDownToOneTexel) {
    // 3x1 becomes 2x1: each new texel covers one and a half old ones.
    const std::vector<unsigned char> row = {0, 90, 180};
    const auto levels = MipmapChain::build(3, 1, grey(3, 1, row).pixels.data(), 1024);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].width, 2);
    EXPECT_EQ(levels[0].pixels[0], 30);  // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(levels[0].pixels[3], 150); // (90 * 0.5 + 180 * 1) / 1.5
    EXPECT_EQ(levels[1].width, 1);
    const auto large =
        MipmapChain::build(8, 2, grey(8, 2, std::vector<unsigned char>(16, 7)).pixels.data(), 4);
    EXPECT_EQ(large[0].width, 4) << "no side above the largest texture";
    EXPECT_EQ(large.size(), 3u); // 4x2, 2x1, 1x1
}

} // namespace
} // namespace velmorra
