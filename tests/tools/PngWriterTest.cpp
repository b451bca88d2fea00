#include "PngImage.h"
#include "PngWriter.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

using tools::Canvas;
using tools::CoverageMask;
using tools::PngWriter;
using tools::Rgb;

TEST(PngWriterTest, RgbaRowsComeBackFromTheChecksummedChunks) {
    Canvas canvas(2, 2);
    CoverageMask alpha(2, 2);
    canvas.set(0, 0, Rgb::fromBytes(255, 128, 0)); // top left
    alpha.set(0, 0, 1.0f);
    canvas.set(1, 1, Rgb::fromBytes(10, 20, 30)); // bottom right
    alpha.set(1, 1, 0.5f);
    const test::PngImage image = test::PngImage::decode(PngWriter::encode(canvas, alpha));
    ASSERT_TRUE(image.valid);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    // Row 0 is the top row, unlike the BMP files.
    EXPECT_EQ(image.rgba, (std::vector<std::uint8_t>{255, 128, 0, 255, 0, 0, 0, 0, //
                                                     0, 0, 0, 0, 10, 20, 30, 128}));
}

TEST(PngWriterTest, TheChunkChecksumIsTheStandardCrc32) {
    const std::uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(PngWriter::chunkCrc(iend, 4), 0xae426082u);
}

} // namespace
} // namespace velmorra
