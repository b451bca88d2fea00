// Writes the seed corpus of the BMP fuzz target and checks what the reader
// makes of each seed. The files go to the directory named by the environment
// variable VELMORRA_BMP_CORPUS when it is set, otherwise to a temporary
// directory. The committed seeds in fuzz/corpus/bmp_fuzz were made with
//   VELMORRA_BMP_CORPUS=fuzz/corpus/bmp_fuzz tests_render --gtest_filter='BmpSeedCorpus.*'

#include "render/BmpBuilder.h"
#include "render/Image.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::BmpBuilder;
using test::BmpPixel;

struct Seed {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool loads;
};

std::vector<BmpPixel> gradient(int count) {
    std::vector<BmpPixel> pixels;
    for (int i = 0; i < count; ++i) {
        const auto value = static_cast<std::uint8_t>(i * 7);
        pixels.push_back({value, static_cast<std::uint8_t>(255 - value), 0x5a});
    }
    return pixels;
}

std::vector<Seed> seeds() {
    constexpr std::uint32_t bitFields = BmpBuilder::bitFieldsCompression;
    auto truncated = BmpBuilder(4, 2).pixels(gradient(8)).bytes();
    truncated.resize(54 + 7);
    auto shortHeader = BmpBuilder(2, 2).bytes();
    shortHeader.resize(30);
    const auto image = [](std::int32_t width, std::int32_t height) {
        return BmpBuilder(width, height).pixels(gradient(width * std::abs(height)));
    };
    std::vector<BmpPixel> twoTone;
    for (int i = 0; i < 18; ++i) {
        twoTone.push_back(i % 3 == 0 ? BmpPixel{250, 5, 60} : BmpPixel{9, 99, 199});
    }
    // Runs, an end of row, an odd absolute run with its padding, a delta, an end of picture.
    const std::vector<std::uint8_t> runs{0x03, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01,
                                         0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x02,
                                         0x01, 0x00, 0x01, 0x01, 0x00, 0x01};
    const std::vector<std::uint8_t> nibbleRuns{0x05, 0x12, 0x00, 0x00, 0x00, 0x05,
                                               0x21, 0x02, 0x10, 0x00, 0x00, 0x01};
    const std::vector<std::uint8_t> brokenRuns{0x00, 0x02, 0x09, 0x00, 0x04, 0x01};
    return {
        {"valid-1x1.bmp", BmpBuilder(1, 1).pixels({{30, 20, 10}}).bytes(), true},
        {"valid-3x2-padded.bmp", image(3, 2).paddingByte(0xee).bytes(), true},
        {"valid-5x5.bmp", image(5, 5).bytes(), true},
        {"header-108.bmp", image(3, 2).infoHeaderSize(108).bytes(), true},
        {"header-124.bmp", image(3, 2).infoHeaderSize(124).bytes(), true},
        {"top-down.bmp", image(2, -2).bytes(), true},
        {"offset-gap.bmp", image(2, 2).dataOffset(90).bytes(), true},
        {"rgba-32.bmp", image(3, 2).bitsPerPixel(32).infoHeaderSize(124).bytes(), true},
        {"bitfields-32.bmp", image(3, 2).bitsPerPixel(32).compression(bitFields).bytes(), true},
        {"palette-8.bmp", image(5, 3).bitsPerPixel(8).bytes(), true},
        {"palette-4.bmp", image(5, -3).bitsPerPixel(4).bytes(), true},
        {"palette-1.bmp", BmpBuilder(9, 2).pixels(twoTone).bitsPerPixel(1).coloursUsed(0).bytes(),
         true},
        {"truncated-rows.bmp", truncated, true},
        {"rgb-16.bmp", image(3, 2).bitsPerPixel(16).bytes(), true},
        {"bitfields-565.bmp",
         image(3, -2).bitsPerPixel(16).compression(bitFields).masks(0xf800, 0x7e0, 0x1f).bytes(),
         true},
        {"rle-8.bmp", image(3, 3).bitsPerPixel(8).compression(1).pixelData(runs).bytes(), true},
        {"rle-4.bmp", image(5, 2).bitsPerPixel(4).compression(2).pixelData(nibbleRuns).bytes(),
         true},
        {"rle-8-broken.bmp",
         image(3, 3).bitsPerPixel(8).compression(1).pixelData(brokenRuns).bytes(), false},
        {"os2-core.bmp", image(2, 2).infoHeaderSize(12).bytes(), false},
        {"bitfields-bgr.bmp",
         image(2, 2).bitsPerPixel(32).compression(bitFields).masks(0xff, 0xff00, 0xff0000).bytes(),
         false},
        {"header-only.bmp", BmpBuilder(16, 16).withoutRows().bytes(), false},
        {"short-header.bmp", shortHeader, false},
        {"zero-width.bmp", BmpBuilder(0, 3).bytes(), false},
        {"huge.bmp", BmpBuilder(0x40000000, 0x40000000).withoutRows().bytes(), false},
        {"too-wide.bmp", BmpBuilder(Image::largestSide + 1, 1).withoutRows().bytes(), false},
    };
}

TEST(BmpSeedCorpus, WritesSeedsTheReaderHandles) {
    // Resolved before the scratch directory becomes the current one.
    const char* requested = std::getenv("VELMORRA_BMP_CORPUS");
    const std::filesystem::path wanted =
        requested != nullptr ? std::filesystem::absolute(requested) : std::filesystem::path();
    test::TempDirectory scratch;
    const std::filesystem::path directory = wanted.empty() ? scratch.path() : wanted;
    std::filesystem::create_directories(directory);
    for (const Seed& seed : seeds()) {
        SCOPED_TRACE(seed.name);
        const std::string file = (directory / seed.name).string();
        BmpBuilder::writeBytes(file, seed.bytes);
        ASSERT_EQ(std::filesystem::file_size(file), seed.bytes.size());
        Image image;
        EXPECT_EQ(image.load(file), seed.loads);
        Image fromMemory;
        EXPECT_EQ(fromMemory.loadFromMemory(seed.bytes), seed.loads);
    }
}

} // namespace
} // namespace velmorra
