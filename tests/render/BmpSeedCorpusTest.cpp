// Writes the seed corpus of the BMP fuzz target and checks what the reader
// makes of each seed. The files go to the directory named by the environment
// variable VELMORRA_BMP_CORPUS when it is set, otherwise to a temporary
// directory. The committed seeds in fuzz/corpus/bmp_fuzz were made with
//   VELMORRA_BMP_CORPUS=fuzz/corpus/bmp_fuzz tests_render --gtest_filter='BmpSeedCorpus.*'

#include "render/BmpBuilder.h"
#include "render/Image.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

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
    auto truncated = BmpBuilder(4, 2).pixels(gradient(8)).bytes();
    truncated.resize(54 + 7);
    auto shortHeader = BmpBuilder(2, 2).bytes();
    shortHeader.resize(30);
    return {
        {"valid-1x1.bmp", BmpBuilder(1, 1).pixels({{30, 20, 10}}).bytes(), true},
        {"valid-3x2-padded.bmp", BmpBuilder(3, 2).pixels(gradient(6)).paddingByte(0xee).bytes(),
         true},
        {"valid-4x2.bmp", BmpBuilder(4, 2).pixels(gradient(8)).bytes(), true},
        {"valid-5x5.bmp", BmpBuilder(5, 5).pixels(gradient(25)).bytes(), true},
        {"truncated-rows.bmp", truncated, true},
        {"header-only.bmp", BmpBuilder(16, 16).withoutRows().bytes(), true},
        {"eight-bit-claim.bmp", BmpBuilder(2, 2).pixels(gradient(4)).bitsPerPixel(8).bytes(), true},
        {"rle-claim.bmp",
         BmpBuilder(2, 2).pixels(gradient(4)).compression(1).dataOffset(1078).bytes(), true},
        {"short-header.bmp", shortHeader, false},
        {"top-down.bmp", BmpBuilder(2, -2).pixels(gradient(4)).bytes(), false},
        {"zero-width.bmp", BmpBuilder(0, 3).bytes(), false},
        {"negative-width.bmp", BmpBuilder(-3, 3).withoutRows().bytes(), false},
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
