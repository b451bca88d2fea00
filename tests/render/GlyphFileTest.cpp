#include "render/DemoFont.h"
#include "render/FontFace.h"
#include "render/GlyphFile.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<GlyphBitmap> rasteriseDemoFont() {
    FontFace face;
    if (!face.open(DemoFont::faceName, DemoFont::pixelHeight)) {
        return {};
    }
    std::vector<GlyphBitmap> glyphs(GlyphFile::glyphCount);
    for (int character = 0; character < GlyphFile::glyphCount; ++character) {
        face.rasterise(static_cast<unsigned char>(character), glyphs[character]);
    }
    return glyphs;
}

// Empty glyphs but for an 'A' of 5 x 2 pixels: glyph c starts at byte 15 + 12 c, the 'A''s rows
// at 807, and the file is 3093 bytes long.
Bytes smallFile() {
    std::vector<GlyphBitmap> glyphs(GlyphFile::glyphCount, GlyphBitmap{0, 0, 0, 0, 4 * 64, {}});
    glyphs['A'] = GlyphBitmap{5, 2, 1, 2, 6 * 64, {0xF8, 0x88}};
    return GlyphFile("Test", 8, glyphs).toBytes();
}

void put16(Bytes& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Writes the checksum anew after a change, so that the checks behind it are reached.
void reseal(Bytes& bytes) {
    const std::uint32_t crc = GlyphFile::checksum(std::span(bytes).first(bytes.size() - 4));
    for (int index = 0; index < 4; ++index) {
        bytes[bytes.size() - 4 + index] = static_cast<std::uint8_t>(crc >> (8 * index));
    }
}

void cutAndReseal(Bytes& bytes, std::size_t length) {
    bytes.resize(length + 4);
    reseal(bytes);
}

TEST(GlyphFileTest, ChecksumIsTheStandardCrc32) {
    const std::string check = "123456789";
    EXPECT_EQ(GlyphFile::checksum(Bytes(check.begin(), check.end())), 0xCBF43926U);
}

TEST(GlyphFileTest, RasterisedDemoFontRoundTrips) {
    const std::vector<GlyphBitmap> glyphs = rasteriseDemoFont();
    ASSERT_EQ(glyphs.size(), 256U) << "no font found for " << DemoFont::faceName;
    const GlyphBitmap& capital = glyphs['A'];
    EXPECT_EQ(capital.originY(), 0.0f) << "capitals stand on the baseline";
    EXPECT_NEAR(capital.height, 12, 1) << "cap height of a 16-pixel font";
    EXPECT_EQ(capital.rows.size(), std::size_t(capital.rowBytes() * capital.height));
    EXPECT_EQ(std::count(glyphs[' '].rows.begin(), glyphs[' '].rows.end(), 0),
              std::ssize(glyphs[' '].rows)) << "a space lights nothing";
    EXPECT_GT(glyphs[' '].advance, 0);

    const Bytes bytes = GlyphFile(DemoFont::faceName, DemoFont::pixelHeight, glyphs).toBytes();
    GlyphFile file;
    ASSERT_TRUE(file.fromBytes(bytes, "demo"));
    EXPECT_EQ(file.getFaceName(), DemoFont::faceName);
    EXPECT_EQ(file.getPixelHeight(), DemoFont::pixelHeight);
    EXPECT_EQ(file.getGlyphs(), glyphs);
    EXPECT_EQ(smallFile().size(), 3093U);
}

struct Damage {
    const char* what;
    std::function<void(Bytes&)> apply;
    std::string reason;
};

TEST(GlyphFileTest, BadInputIsRefusedWithALogLineAndLeavesTheFileEmpty) {
    const std::vector<Damage> damages = {
        {"empty", [](Bytes& b) { b.clear(); }, "it is 0 bytes, too short for a glyph file"},
        {"cut in the header", [](Bytes& b) { b.resize(14); },
         "it is 14 bytes, too short for a glyph file"},
        {"cut short", [](Bytes& b) { b.resize(2000); }, "its checksum does not match its contents"},
        {"a bitmap bit flipped", [](Bytes& b) { b[807] ^= 0x40; },
         "its checksum does not match its contents"},
        {"another mark", [](Bytes& b) { b[0] = 'X'; }, "it does not start with VGLY"},
        {"next version", [](Bytes& b) { b[4] = 2; }, "version 2, not 1"},
        {"cut in the rows, resealed", [](Bytes& b) { cutAndReseal(b, 808); },
         "it ends inside glyph 65"},
        {"no face name", [](Bytes& b) { b[6] = 0, reseal(b); }, "face name of 0 bytes, not 1 to 64"},
        {"height 0", [](Bytes& b) { put16(b, 11, 0), reseal(b); }, "pixel height 0, not 1 to 256"},
        {"255 glyphs", [](Bytes& b) { put16(b, 13, 255), reseal(b); }, "255 glyphs, not 256"},
        {"oversized glyph", [](Bytes& b) { put16(b, 15, 600), reseal(b); },
         "glyph 0: 600 x 0 pixels, over 512"},
        {"far bearing", [](Bytes& b) { put16(b, 21, -2000), reseal(b); },
         "glyph 0: bearing 0, -2000 beyond 1024 pixels"},
        {"bytes after the glyphs", [](Bytes& b) { b.insert(b.end() - 4, 3, 0), reseal(b); },
         "3 bytes follow the last glyph"},
        {"oversized file", [](Bytes& b) { b.resize(GlyphFile::largestFile + 1); },
         "it is " + std::to_string(GlyphFile::largestFile + 1) + " bytes, more than the " +
             std::to_string(GlyphFile::largestFile) + " of the largest glyph file"},
    };
    for (const Damage& damage : damages) {
        Bytes bytes = smallFile();
        GlyphFile file;
        ASSERT_TRUE(file.fromBytes(bytes, "small.bin"));
        damage.apply(bytes);
        test::LogCapture log;
        EXPECT_FALSE(file.fromBytes(bytes, "small.bin")) << damage.what;
        EXPECT_TRUE(file.empty() && file.getFaceName().empty() && file.getPixelHeight() == 0)
            << damage.what;
        EXPECT_EQ(log.text(), "Glyph file small.bin refused: " + damage.reason + ".\n")
            << damage.what;
    }
}

TEST(GlyphFileTest, ContentsThatReadingWouldRefuseAreNotWritten) {
    const GlyphBitmap shortRows{9, 2, 0, 0, 0, {1, 2, 3}};
    const std::vector<std::pair<GlyphFile, std::string>> cases = {
        {GlyphFile("Test", 8, std::vector<GlyphBitmap>(255)), "255 glyphs, not 256"},
        {GlyphFile(std::string(65, 'x'), 8, std::vector<GlyphBitmap>(256)),
         "face name of 65 bytes, not 1 to 64"},
        {GlyphFile("Test", 8, std::vector<GlyphBitmap>(256, shortRows)),
         "glyph 0: 3 row bytes for 9 x 2 pixels"},
    };
    test::TempDirectory directory;
    for (const auto& [file, fault] : cases) {
        EXPECT_EQ(file.fault(), fault);
        EXPECT_TRUE(file.toBytes().empty()) << fault;
        EXPECT_FALSE(file.write("out.bin")) << fault;
        EXPECT_FALSE(std::filesystem::exists(directory.path() / "out.bin")) << fault;
    }
}

// The browser's font face reads its glyphs with readFor: the tool's file must pass it and hold
// exactly what FreeType rasterises here.
TEST(GlyphToolTest, WritesTheDemoFontAsTheBrowserReadsIt) {
    test::LogCapture log;
    const std::string tool = std::string("\"") + VELMORRA_RASTERISE_GLYPHS + "\"";
    ASSERT_EQ(std::system((tool + " >/dev/null").c_str()), 0);
    GlyphFile file;
    ASSERT_TRUE(file.readFor(DemoFont::glyphFile, DemoFont::faceName, DemoFont::pixelHeight));
    EXPECT_EQ(file.getGlyphs(), rasteriseDemoFont());

    ASSERT_EQ(std::system((tool + " small.bin Arial 12 >/dev/null").c_str()), 0);
    EXPECT_FALSE(file.readFor("small.bin", DemoFont::faceName, DemoFont::pixelHeight));
    EXPECT_TRUE(file.empty());
    EXPECT_FALSE(file.read("none.bin"));
    EXPECT_EQ(log.text(),
              "Glyph file small.bin refused: it holds Arial at 12 pixels, not Arial at 16.\n"
              "Glyph file none.bin refused: it cannot be opened.\n");
}

} // namespace
} // namespace velmorra
