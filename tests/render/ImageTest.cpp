#include "render/Image.h"
#include "render/BmpBuilder.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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

// A 3 x 2 picture of six colours (rows of 9 bytes, so padded), and one of two colours for the
// 1-bit layouts; the bottom row first.
const std::vector<BmpPixel> sixColours{{200, 10, 20},  {30, 220, 40}, {50, 60, 230},
                                       {255, 255, 0}, {0, 1, 2},     {128, 64, 32, 0}};
const std::vector<BmpPixel> twoColours{{9, 99, 199}, {250, 5, 60}, {250, 5, 60},
                                       {9, 99, 199}, {9, 99, 199}, {250, 5, 60}};

std::vector<std::uint8_t> rgbOf(const std::vector<BmpPixel>& picture) {
    std::vector<std::uint8_t> bytes;
    for (const BmpPixel& pixel : picture) {
        bytes.insert(bytes.end(), {pixel.red, pixel.green, pixel.blue});
    }
    return bytes;
}

BmpBuilder picture(std::int32_t height = 2, const std::vector<BmpPixel>& colours = sixColours) {
    return BmpBuilder(3, height).pixels(colours).paddingByte(0xee);
}

// The layouts image programs write: every one reads back as exactly the picture written.
TEST(Image, ReadsEveryLayoutItSupportsExactly) {
    constexpr std::uint32_t bitFields = BmpBuilder::bitFieldsCompression;
    const struct {
        const char* name;
        BmpBuilder file;
        const std::vector<BmpPixel>& expected;
    } layouts[] = {
        {"24-bit, 40-byte header", picture(), sixColours},
        {"24-bit, 52-byte header", picture().infoHeaderSize(52), sixColours},
        {"24-bit, 56-byte header", picture().infoHeaderSize(56), sixColours},
        {"24-bit, 108-byte header", picture().infoHeaderSize(108), sixColours},
        {"24-bit, 124-byte header", picture().infoHeaderSize(124), sixColours},
        {"24-bit, top-down", picture(-2), sixColours},
        {"24-bit, gap before the rows", picture().dataOffset(200), sixColours},
        {"32-bit", picture().bitsPerPixel(32), sixColours},
        {"32-bit, top-down, 124-byte header", picture(-2).bitsPerPixel(32).infoHeaderSize(124),
         sixColours},
        {"32-bit bit fields, 40-byte header", picture().bitsPerPixel(32).compression(bitFields),
         sixColours},
        {"32-bit bit fields, 124-byte header",
         picture().bitsPerPixel(32).compression(bitFields).infoHeaderSize(124), sixColours},
        {"32-bit bit fields without alpha",
         picture().bitsPerPixel(32).compression(bitFields).masks(0xff0000, 0xff00, 0xff, 0),
         sixColours},
        {"8-bit palette", picture().bitsPerPixel(8), sixColours},
        {"8-bit palette, top-down, 124-byte header",
         picture(-2).bitsPerPixel(8).infoHeaderSize(124), sixColours},
        {"4-bit palette", picture().bitsPerPixel(4), sixColours},
        {"1-bit palette", picture(2, twoColours).bitsPerPixel(1), twoColours},
        {"1-bit, full palette stated as 0", picture(2, twoColours).bitsPerPixel(1).coloursUsed(0),
         twoColours},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Image image;
        ASSERT_TRUE(image.loadFromMemory(layout.file.bytes())) << image.getRefusal();
        EXPECT_EQ(image.getWidth(), 3);
        EXPECT_EQ(image.getHeight(), 2);
        EXPECT_EQ(pixelBytes(image), rgbOf(layout.expected));
        EXPECT_EQ(image.getRefusal(), "");
    }
}

// What it cannot read exactly is refused with the reason, never read as something else.
TEST(Image, RefusesOtherLayoutsNamingWhy) {
    constexpr std::uint32_t bitFields = BmpBuilder::bitFieldsCompression;
    const std::vector<std::uint8_t> runs{0x03, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x01};
    auto notBmp = picture().bytes();
    notBmp[1] = 'A';
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        const char* refusal;
    } layouts[] = {
        {"16-bit", picture().bitsPerPixel(16).bytes(), "16-bit pixels"},
        {"16-bit bit fields 5-6-5",
         picture().bitsPerPixel(16).compression(bitFields).masks(0xf800, 0x7e0, 0x1f).bytes(),
         "16-bit pixels with bit fields"},
        {"2-bit", picture().bitsPerPixel(2).bytes(), "2-bit pixels"},
        {"RLE8", picture().bitsPerPixel(8).compression(1).pixelData(runs).bytes(),
         "RLE8 compression"},
        {"RLE4", picture().bitsPerPixel(4).compression(2).pixelData(runs).bytes(),
         "RLE4 compression"},
        {"JPEG", picture().bitsPerPixel(0).compression(4).pixelData({0xff, 0xd8}).bytes(),
         "embedded JPEG"},
        {"PNG", picture().bitsPerPixel(0).compression(5).pixelData({0x89, 'P'}).bytes(),
         "embedded PNG"},
        {"unknown compression", picture().compression(9).bytes(), "compression 9"},
        {"32-bit, blue and red masks swapped",
         picture().bitsPerPixel(32).compression(bitFields).masks(0xff, 0xff00, 0xff0000).bytes(),
         "bit fields 000000ff 0000ff00 00ff0000"},
        {"OS/2 core header", picture().infoHeaderSize(12).bytes(), "OS/2 core header"},
        {"OS/2 2.x header", picture().infoHeaderSize(64).bytes(), "info header of 64 bytes"},
        {"not a BMP", notBmp, "not a BMP file"},
        {"palette too long", picture().bitsPerPixel(1).coloursUsed(3).bytes(),
         "palette of 3 colours"},
        {"index past the palette", picture().bitsPerPixel(8).coloursUsed(2).bytes(),
         "palette index past the palette"},
        {"rows inside the header", picture().dataOffset(40).bytes(),
         "pixel data offset 40 inside the header"},
        {"no rows", picture().withoutRows().bytes(), "no pixel data"},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Image image;
        EXPECT_FALSE(image.loadFromMemory(layout.file));
        EXPECT_EQ(image.getRefusal(), layout.refusal);
        EXPECT_EQ(image.getWidth(), 0);
    }
}

TEST(Image, RefusesHostileSizesAndKeepsItsContents) {
    Image image;
    ASSERT_TRUE(image.loadFromMemory(BmpBuilder(1, 1).pixels({{7, 8, 9}}).bytes()));
    const struct {
        std::int32_t width;
        std::int32_t height;
    } hostile[] = {{0, 4},
                   {4, 0},
                   {-4, 2},
                   {1, -0x7fffffff - 1},
                   {0x7fffffff, 1},
                   {1, 0x7fffffff},
                   {0x40000000, 0x40000000}, // width * height * 3 overflows
                   {Image::largestSide + 1, 1},
                   {1, Image::largestSide + 1}};
    for (const auto& size : hostile) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        EXPECT_FALSE(image.loadFromMemory(
            BmpBuilder(size.width, size.height).pixelData({1, 2, 3, 4}).bytes()));
        EXPECT_EQ(image.getRefusal(), "size " + std::to_string(size.width) + " x " +
                                          std::to_string(size.height));
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
    BmpBuilder(5, -5).bitsPerPixel(16).writeTo("sixteen.bmp");
    Image image;
    EXPECT_FALSE(image.load("missing.bmp"));
    EXPECT_EQ(image.getRefusal(), "");
    EXPECT_FALSE(image.load("sixteen.bmp"));
    EXPECT_EQ(image.getRefusal(), "16-bit pixels");
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
}

// A header that claims a huge picture costs no more than the file: without rows it is refused
// before anything is allocated, and a single pixel of data fills the picture it claims.
TEST(Image, AHugeClaimIsReadNoFurtherThanTheFile) {
    test::TempDirectory directory;
    BmpBuilder(Image::largestSide, Image::largestSide).withoutRows().writeTo("claim.bmp");
    BmpBuilder(2048, -2048).pixelData({7, 8, 9}).writeTo("pixel.bmp");
    Image image;
    EXPECT_FALSE(image.load("claim.bmp"));
    EXPECT_EQ(image.getRefusal(), "no pixel data");
    ASSERT_TRUE(image.load("pixel.bmp"));
    const auto pixels = pixelBytes(image);
    ASSERT_EQ(pixels.size(), 2048u * 2048 * 3);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 9), 2048 * 2048);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.end() - 3, pixels.end()),
              (std::vector<std::uint8_t>{9, 8, 7}));
}

} // namespace
} // namespace velmorra
