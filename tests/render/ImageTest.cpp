#include "render/Image.h"
#include "render/BmpBuilder.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmorra {
namespace {

using test::BmpBuilder;
using test::BmpPixel;

std::vector<std::uint8_t> pixelBytes(const Image& image) {
    const std::size_t count = static_cast<std::size_t>(image.getWidth()) * image.getHeight() * 3;
    return {image.getPixels(), image.getPixels() + count};
}

std::vector<BmpPixel> numbered(int count) {
    std::vector<BmpPixel> values;
    for (int i = 0; i < count; ++i) {
        const auto base = static_cast<std::uint8_t>(10 * i);
        values.push_back({static_cast<std::uint8_t>(base + 3), static_cast<std::uint8_t>(base + 2),
                          static_cast<std::uint8_t>(base + 1)});
    }
    return values;
}

TEST(Image, NewImageIsEmpty) {
    Image image;
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
    EXPECT_NE(image.getPixels(), nullptr);
}

TEST(Image, SwapsBlueGreenRedIntoRedGreenBlue) {
    Image image;
    const auto file = BmpBuilder(1, 1).pixels({{30, 20, 10}}).bytes();
    ASSERT_EQ(file[54], 10); // stored blue first
    ASSERT_TRUE(image.loadFromMemory(file));
    EXPECT_EQ(pixelBytes(image), (std::vector<std::uint8_t>{30, 20, 10}));
}

// 3 pixels take 9 bytes, so each row carries 3 padding bytes that must be
// skipped; rows stay in file order, bottom row first.
TEST(Image, SkipsRowPaddingOfThreeByTwo) {
    const auto file = BmpBuilder(3, 2).pixels(numbered(6)).paddingByte(0xee).bytes();
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    Image image;
    ASSERT_TRUE(image.loadFromMemory(file));
    EXPECT_EQ(image.getWidth(), 3);
    EXPECT_EQ(image.getHeight(), 2);
    EXPECT_EQ(pixelBytes(image), (std::vector<std::uint8_t>{3, 2, 1, 13, 12, 11, 23, 22, 21, 33, 32,
                                                            31, 43, 42, 41, 53, 52, 51}));
}

TEST(Image, ReadsUnpaddedRowsOfFourByTwo) {
    const auto file = BmpBuilder(4, 2).pixels(numbered(8)).bytes();
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    Image image;
    ASSERT_TRUE(image.loadFromMemory(file));
    const auto pixels = pixelBytes(image);
    ASSERT_EQ(pixels.size(), 24u);
    EXPECT_EQ(pixels[12], 43); // first pixel of the second row
    EXPECT_EQ(pixels[23], 71); // blue of the last pixel
}

TEST(Image, TruncatedFileRepeatsTheLastPixelRead) {
    auto file = BmpBuilder(4, 2).pixels(numbered(8)).bytes();
    file.resize(54 + 6 * 3); // pixels 6 and 7 are missing
    Image image;
    ASSERT_TRUE(image.loadFromMemory(file));
    const auto pixels = pixelBytes(image);
    const std::vector<std::uint8_t> fifth{53, 52, 51};
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin() + 15, pixels.begin() + 18), fifth);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin() + 18, pixels.begin() + 21), fifth);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin() + 21, pixels.begin() + 24), fifth);
}

// The reader trusts nothing but the size: bit depth, compression and the data
// offset are ignored and the rows are read right after the header.
TEST(Image, IgnoresTheOtherHeaderFields) {
    const auto file =
        BmpBuilder(1, 1).pixels({{1, 2, 3}}).bitsPerPixel(8).compression(1).dataOffset(999).bytes();
    Image image;
    ASSERT_TRUE(image.loadFromMemory(file));
    EXPECT_EQ(pixelBytes(image), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(Image, RefusesHostileSizesAndKeepsItsContents) {
    Image image;
    ASSERT_TRUE(image.loadFromMemory(BmpBuilder(1, 1).pixels({{7, 8, 9}}).bytes()));
    const struct {
        std::int32_t width;
        std::int32_t height;
    } hostile[] = {{0, 4},
                   {4, 0},
                   {4, -2}, // top-down
                   {-4, 2},
                   {0x7fffffff, 1},
                   {1, 0x7fffffff},
                   {0x40000000, 0x40000000}, // width * height * 3 overflows
                   {Image::largestSide + 1, 1},
                   {1, Image::largestSide + 1}};
    for (const auto& size : hostile) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        EXPECT_FALSE(
            image.loadFromMemory(BmpBuilder(size.width, size.height).withoutRows().bytes()));
        EXPECT_EQ(image.getWidth(), 1);
        EXPECT_EQ(pixelBytes(image), (std::vector<std::uint8_t>{7, 8, 9}));
    }
}

TEST(Image, RefusesAnIncompleteHeader) {
    auto file = BmpBuilder(1, 1).bytes();
    file.resize(53);
    Image image;
    EXPECT_FALSE(image.loadFromMemory(file));
    EXPECT_FALSE(image.loadFromMemory({}));
}

TEST(Image, AppliesTheCallersSizeLimit) {
    const auto file = BmpBuilder::solid(8, 2, {1, 1, 1}).bytes();
    Image image;
    EXPECT_FALSE(image.loadFromMemory(file, 7));
    EXPECT_TRUE(image.loadFromMemory(file, 8));
}

TEST(Image, LoadsFilesLikeMemory) {
    test::TempDirectory directory;
    BmpBuilder(3, 2).pixels(numbered(6)).paddingByte(0xee).writeTo("three.bmp");
    Image fromFile;
    ASSERT_TRUE(fromFile.load("three.bmp"));
    Image fromMemory;
    ASSERT_TRUE(fromMemory.loadFromMemory(BmpBuilder(3, 2).pixels(numbered(6)).bytes()));
    EXPECT_EQ(pixelBytes(fromFile), pixelBytes(fromMemory));

    auto truncated = BmpBuilder(4, 2).pixels(numbered(8)).bytes();
    truncated.resize(54 + 6 * 3);
    BmpBuilder::writeBytes("short.bmp", truncated);
    ASSERT_TRUE(fromFile.load("short.bmp"));
    EXPECT_EQ(fromFile.getPixels()[23], 51);
}

TEST(Image, MissingOrHostileFileLeavesTheImageUnchanged) {
    test::TempDirectory directory;
    BmpBuilder(5, -5).withoutRows().writeTo("topdown.bmp");
    Image image;
    EXPECT_FALSE(image.load("missing.bmp"));
    EXPECT_FALSE(image.load("topdown.bmp"));
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
}

} // namespace
} // namespace velmorra
