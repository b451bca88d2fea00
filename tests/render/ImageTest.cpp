#include "render/Image.h"
#include "render/AllocationCounter.h"
#include "render/BmpBuilder.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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
const std::vector<BmpPixel> sixColours{{200, 10, 20}, {30, 220, 40}, {50, 60, 230},
                                       {255, 255, 0}, {0, 1, 2},     {128, 64, 32, 0}};
const std::vector<BmpPixel> twoColours{{9, 99, 199}, {250, 5, 60}, {250, 5, 60},
                                       {9, 99, 199}, {9, 99, 199}, {250, 5, 60}};
// Channel values that 5 and 6 bits hold exactly: 0, 8, 16 and 24 are 1, 2 and 3 shifted up, and
// the largest value of either widens to 255.
const std::vector<BmpPixel> sixteenBitColours{{255, 0, 8}, {16, 255, 24},   {0, 8, 255},
                                              {24, 16, 0}, {255, 255, 255}, {8, 24, 16}};

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
        {"16-bit 5-5-5", picture(2, sixteenBitColours).bitsPerPixel(16), sixteenBitColours},
        {"16-bit 5-5-5, top-down", picture(-2, sixteenBitColours).bitsPerPixel(16),
         sixteenBitColours},
        {"16-bit bit fields 5-5-5",
         picture(2, sixteenBitColours)
             .bitsPerPixel(16)
             .compression(bitFields)
             .masks(0x7c00, 0x3e0, 0x1f),
         sixteenBitColours},
        {"16-bit bit fields 5-6-5, 124-byte header",
         picture(2, sixteenBitColours)
             .bitsPerPixel(16)
             .compression(bitFields)
             .masks(0xf800, 0x7e0, 0x1f)
             .infoHeaderSize(124),
         sixteenBitColours},
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
        {"16-bit, other bit fields",
         picture().bitsPerPixel(16).compression(bitFields).masks(0xf00, 0xf0, 0xf).bytes(),
         "bit fields 00000f00 000000f0 0000000f"},
        {"24-bit bit fields", picture().compression(bitFields).bytes(),
         "24-bit pixels with bit fields"},
        {"2-bit", picture().bitsPerPixel(2).bytes(), "2-bit pixels"},
        {"RLE8 of 4-bit pixels", picture().bitsPerPixel(4).compression(1).pixelData(runs).bytes(),
         "RLE8 compression of 4-bit pixels"},
        {"RLE4, top-down", picture(-2).bitsPerPixel(4).compression(2).pixelData(runs).bytes(),
         "top-down RLE4 compression"},
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
        EXPECT_EQ(image.getRefusal(),
                  "size " + std::to_string(size.width) + " x " + std::to_string(size.height));
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
    BmpBuilder(5, -5).bitsPerPixel(2).writeTo("two.bmp");
    Image image;
    EXPECT_FALSE(image.load("missing.bmp"));
    EXPECT_EQ(image.getRefusal(), "");
    EXPECT_FALSE(image.load("two.bmp"));
    EXPECT_EQ(image.getRefusal(), "2-bit pixels");
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
}

// A header that claims a huge picture costs no more than the file: without rows it is refused
// before anything is allocated, and a single pixel of data fills the picture it claims, with
// nothing allocated beyond that picture and the file's few bytes.
TEST(Image, AHugeClaimIsReadNoFurtherThanTheFile) {
    test::TempDirectory directory;
    BmpBuilder(Image::largestSide, Image::largestSide).withoutRows().writeTo("claim.bmp");
    BmpBuilder(2048, -2048).pixelData({7, 8, 9}).writeTo("pixel.bmp");
    BmpBuilder(Image::largestSide, Image::largestSide)
        .bitsPerPixel(8)
        .compression(1)
        .pixelData({})
        .writeTo("runs.bmp");
    constexpr std::size_t smallChange = 4096; // the file's bytes, a file handle, the refusal
    Image image;
    for (const char* claim : {"claim.bmp", "runs.bmp"}) {
        const test::AllocationCounter allocations;
        EXPECT_FALSE(image.load(claim));
        EXPECT_LT(allocations.total(), smallChange) << claim;
        EXPECT_EQ(image.getRefusal(), "no pixel data");
    }
    const test::AllocationCounter allocations;
    ASSERT_TRUE(image.load("pixel.bmp"));
    EXPECT_EQ(allocations.largest(), 2048u * 2048 * 3);
    EXPECT_LT(allocations.total(), 2048u * 2048 * 3 + smallChange);
    const auto pixels = pixelBytes(image);
    ASSERT_EQ(pixels.size(), 2048u * 2048 * 3);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 9), 2048 * 2048);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.end() - 3, pixels.end()),
              (std::vector<std::uint8_t>{9, 8, 7}));
}

// Run-length data made by hand, a code at a time, on a palette of four colours. Expected
// pictures are palette indices, bottom row first, a space between rows; pixels no code reaches
// keep the first colour. Data that would draw outside the picture is refused at the code's byte
// (the pixel data begins at byte 70, after the 16 bytes of palette). Rows are padded to 4 bytes:
// 4 pixels of RLE8, 8 of RLE4.
TEST(Image, DecodesRunLengthCodesAndRefusesBrokenOnes) {
    const std::vector<BmpPixel> palette{{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    const struct {
        const char* name;
        int bits;
        std::int32_t width;
        std::vector<std::uint8_t> data;
        const char* expected; // or the refusal
    } streams[] = {
        {"runs and ends of rows",
         8,
         4,
         {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 1, 1, 0, 1},
         "1111 2233 1000"},
        {"odd absolute run and its padding",
         8,
         4,
         {0, 3, 1, 2, 3, 0xff, 1, 2, 0, 1},
         "1232 0000 0000"},
        {"even absolute run, no padding",
         8,
         4,
         {0, 4, 3, 2, 1, 0, 0, 0, 1, 3, 0, 1},
         "3210 3000 0000"},
        {"delta right and up", 8, 4, {1, 1, 0, 2, 2, 1, 1, 3, 0, 1}, "1000 0003 0000"},
        {"end of the picture before its top", 8, 4, {4, 3, 0, 1, 4, 2}, "3333 0000 0000"},
        {"no end of the picture", 8, 4, {2, 1}, "1100 0000 0000"},
        {"a code cut in half", 8, 4, {2, 1, 0}, "1100 0000 0000"},
        {"absolute run cut short", 8, 4, {0, 4, 1, 2}, "1200 0000 0000"},
        {"RLE4 runs take the nibbles in turn", 4, 5, {5, 0x12, 0, 0, 3, 0x30, 0, 1}, "12121 30300"},
        {"RLE4 absolute runs of 3 bytes (padded) and of 2",
         4,
         5,
         {0, 5, 0x12, 0x31, 0x20, 0xff, 0, 0, 0, 3, 0x21, 0x30, 2, 0x03, 0, 1},
         "12312 21303"},
        {"runs over the row's padding", 8, 3, {4, 1, 0, 0, 0, 4, 2, 3, 0, 3, 0, 1}, "111 230 000"},
        {"run past the end of a row", 8, 4, {5, 1}, "RLE8 run past the end of a row at byte 70"},
        {"absolute run past the end of a row",
         8,
         4,
         {2, 1, 0, 3, 1, 1, 1, 0},
         "RLE8 run past the end of a row at byte 72"},
        {"delta past the right edge", 8, 4, {0, 2, 5, 0}, "RLE8 delta past the picture at byte 70"},
        {"delta past the top", 4, 5, {0, 2, 0, 3}, "RLE4 delta past the picture at byte 70"},
        {"run above the top row",
         8,
         4,
         {0, 0, 0, 0, 0, 0, 1, 1},
         "RLE8 run above the top row at byte 76"},
        {"RLE8 index past the palette",
         8,
         4,
         {1, 4},
         "RLE8 palette index past the palette at byte 70"},
        {"RLE4 index past the palette",
         4,
         5,
         {2, 0x15},
         "RLE4 palette index past the palette at byte 70"},
    };
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.name);
        const std::int32_t height = stream.bits == 8 ? 3 : 2;
        const auto file = BmpBuilder(stream.width, height)
                              .pixels(palette)
                              .bitsPerPixel(static_cast<std::uint16_t>(stream.bits))
                              .compression(stream.bits == 8 ? 1 : 2)
                              .pixelData(stream.data)
                              .bytes();
        const std::string expected = stream.expected;
        Image image;
        if (expected.find(" at byte ") != std::string::npos) {
            EXPECT_FALSE(image.loadFromMemory(file));
            EXPECT_EQ(image.getRefusal(), expected);
            EXPECT_EQ(image.getWidth(), 0);
            continue;
        }
        ASSERT_TRUE(image.loadFromMemory(file)) << image.getRefusal();
        std::vector<BmpPixel> picture;
        for (const char index : expected) {
            if (index != ' ') {
                picture.push_back(palette[static_cast<std::size_t>(index - '0')]);
            }
        }
        EXPECT_EQ(pixelBytes(image), rgbOf(picture));
    }
}

// A binary PPM's pixels, turned bottom row first like an image's.
std::vector<std::uint8_t> ppmBottomUp(const std::string& fileName, int width) {
    std::ifstream file(fileName, std::ios::binary);
    std::string magic;
    int ppmWidth = 0;
    int height = 0;
    int largest = 0;
    file >> magic >> ppmWidth >> height >> largest;
    file.get();
    const std::vector<std::uint8_t> rows{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
    if (magic != "P6" || ppmWidth != width || largest != 255 ||
        rows.size() != static_cast<std::size_t>(width) * height * 3) {
        return {};
    }
    std::vector<std::uint8_t> bottomUp;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = height - 1; row >= 0; --row) {
        const auto start = rows.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
        bottomUp.insert(bottomUp.end(), start, start + static_cast<std::ptrdiff_t>(rowBytes));
    }
    return bottomUp;
}

// Files ImageMagick wrote from an 11 x 5 picture (tests/data/bmp/README.md), against the picture
// itself for the exact palette runs and against ImageMagick's own decoding for 16 bits.
TEST(Image, ReadsWhatImageMagickWrites) {
    const std::filesystem::path data =
        std::filesystem::path(VELMORRA_SOURCE_DIR) / "tests/data/bmp";
    const struct {
        const char* bmp;
        const char* ppm;
    } files[] = {{"rle8.bmp", "picture.ppm"},
                 {"rle8-v5.bmp", "picture.ppm"},
                 {"rgb565.bmp", "rgb565.ppm"},
                 {"rgb555.bmp", "rgb555.ppm"}};
    for (const auto& [bmp, ppm] : files) {
        SCOPED_TRACE(bmp);
        const std::vector<std::uint8_t> expected = ppmBottomUp((data / ppm).string(), 11);
        ASSERT_EQ(expected.size(), 11u * 5 * 3);
        Image image;
        ASSERT_TRUE(image.load((data / bmp).string())) << image.getRefusal();
        ASSERT_EQ(image.getWidth(), 11);
        ASSERT_EQ(image.getHeight(), 5);
        EXPECT_EQ(pixelBytes(image), expected);
    }
}

} // namespace
} // namespace velmorra
