#include "BmpWriter.h"
#include "render/Image.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmorra {
namespace {

using tools::BmpWriter;
using tools::Canvas;
using tools::Rgb;

TEST(BmpWriterTest, ThreeByTwoPadsRowsAndStoresTheBottomRowFirst) {
    Canvas canvas(3, 2);
    canvas.set(0, 0, Rgb::fromBytes(30, 20, 10)); // top left
    canvas.set(2, 1, Rgb::fromBytes(1, 2, 3));    // bottom right
    const std::vector<std::uint8_t> bytes = BmpWriter::encode(canvas);
    ASSERT_EQ(bytes.size(), 54u + 2u * 12u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2], 78); // file size
    EXPECT_EQ(bytes[10], 54);
    EXPECT_EQ(bytes[18], 3);
    EXPECT_EQ(bytes[22], 2);
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes[30], 0); // uncompressed
    // First row in the file is the canvas's bottom row; its last pixel is blue 3, green 2, red 1.
    EXPECT_EQ(bytes[54 + 6], 3);
    EXPECT_EQ(bytes[54 + 7], 2);
    EXPECT_EQ(bytes[54 + 8], 1);
    EXPECT_EQ(bytes[54 + 9], 0); // padding
    EXPECT_EQ(bytes[66], 10);
    EXPECT_EQ(bytes[67], 20);
    EXPECT_EQ(bytes[68], 30);
}

TEST(BmpWriterTest, ChannelsRoundToTheNearestByteAndClamp) {
    EXPECT_EQ(BmpWriter::toByte(0.5f), 128);
    EXPECT_EQ(BmpWriter::toByte(0.499f), 127);
    EXPECT_EQ(BmpWriter::toByte(1.7f), 255);
    EXPECT_EQ(BmpWriter::toByte(-0.2f), 0);
    EXPECT_EQ(BmpWriter::toByte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(BmpWriter::toByte(std::numeric_limits<float>::infinity()), 255);
}

TEST(BmpWriterTest, TheDemosReaderGetsThePixelsBack) {
    const test::TempDirectory directory;
    Canvas canvas(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            canvas.set(x, y, Rgb::fromBytes(x * 50, y * 100, 7));
        }
    }
    ASSERT_TRUE(BmpWriter::write(canvas, "picture.bmp"));
    Image image;
    ASSERT_TRUE(image.load("picture.bmp"));
    ASSERT_EQ(image.getWidth(), 5);
    ASSERT_EQ(image.getHeight(), 3);
    // The reader keeps the file's order: its first row is the canvas's bottom row (y = 2).
    const std::uint8_t* first = image.getPixels();
    EXPECT_EQ(first[3 * 4 + 0], 200);
    EXPECT_EQ(first[3 * 4 + 1], 200);
    EXPECT_EQ(first[3 * 4 + 2], 7);
    const std::uint8_t* last = image.getPixels() + 2 * 5 * 3;
    EXPECT_EQ(last[3 * 1 + 0], 50);
    EXPECT_EQ(last[3 * 1 + 1], 0);
}

TEST(BmpWriterTest, AnUnwritableFileIsReported) {
    EXPECT_FALSE(BmpWriter::write(Canvas(2, 2), "/nonexistent-directory/x.bmp"));
}

} // namespace
} // namespace velmorra
