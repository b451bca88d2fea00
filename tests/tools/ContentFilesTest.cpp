#include "PngImage.h"
#include "content/ContentGenerator.h"
#include "render/Image.h"
#include "render/TexManager.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using tools::ContentGenerator;

std::vector<char> readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string committed(const std::string& name) {
    return std::string(VELMORRA_SOURCE_DIR) + "/data/" + name;
}

struct PictureSize {
    int width;
    int height;
};

// What the demo and the settings dialog expect of each picture.
const std::map<std::string, PictureSize>& pictureSizes() {
    static const std::map<std::string, PictureSize> sizes{
        {"lava.bmp", {256, 256}},   {"chrome.bmp", {256, 256}},    {"sky.bmp", {256, 256}},
        {"dummy.bmp", {256, 256}},  {"text.bmp", {512, 512}},      {"settings.bmp", {120, 300}},
        {"marble.bmp", {256, 256}}, {"sandstone.bmp", {256, 256}}, {"basalt.bmp", {256, 256}},
        {"granite.bmp", {256, 256}}};
    return sizes;
}

// One generation shared by the tests of this suite; it is the slow part.
class ContentFilesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        directory = new test::TempDirectory();
        generated = ContentGenerator(directory->path().string()).generateAll();
    }
    static void TearDownTestSuite() {
        delete directory;
        directory = nullptr;
    }
    static std::string path(const std::string& name) { return (directory->path() / name).string(); }

    static test::TempDirectory* directory;
    static bool generated;
};

test::TempDirectory* ContentFilesTest::directory = nullptr;
bool ContentFilesTest::generated = false;

TEST_F(ContentFilesTest, EveryFileIsWrittenAndEqualsTheCommittedOne) {
    ASSERT_TRUE(generated);
    for (const std::string& name : ContentGenerator::fileNames()) {
        const std::vector<char> made = readAll(path(name));
        ASSERT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == readAll(committed(name)))
            << name << " differs from data/" << name << ": run scripts/make-content";
    }
}

TEST_F(ContentFilesTest, ASecondRunWritesTheSameBytes) {
    ASSERT_TRUE(generated);
    const test::TempDirectory again;
    ASSERT_TRUE(ContentGenerator(again.path().string()).generateAll());
    for (const std::string& name : ContentGenerator::fileNames()) {
        EXPECT_TRUE(readAll((again.path() / name).string()) == readAll(path(name))) << name;
    }
}

TEST_F(ContentFilesTest, EveryPictureReadsBackAtItsSize) {
    ASSERT_TRUE(generated);
    for (const auto& [name, size] : pictureSizes()) {
        Image image;
        ASSERT_TRUE(image.load(path(name))) << name;
        EXPECT_EQ(image.getWidth(), size.width) << name;
        EXPECT_EQ(image.getHeight(), size.height) << name;
    }
}

// The pictures are black where they should add nothing and bright where they show something.
TEST_F(ContentFilesTest, AdditivePicturesHaveBlackEdgesAndBrightMiddles) {
    ASSERT_TRUE(generated);
    for (const std::string name : {"dummy.bmp", "text.bmp"}) {
        Image image;
        ASSERT_TRUE(image.load(path(name)));
        const int w = image.getWidth();
        const std::uint8_t* pixels = image.getPixels();
        int brightest = 0;
        for (int i = 0; i < w * image.getHeight() * 3; ++i) {
            brightest = std::max<int>(brightest, pixels[i]);
        }
        EXPECT_EQ(brightest, 255) << name;
        // Every cell (atlas) or band (lettering) starts with a black row.
        const int step = name == std::string("dummy.bmp") ? 64 : 128;
        for (int row = 0; row < image.getHeight(); row += step) {
            for (int x = 0; x < w * 3; ++x) {
                ASSERT_LE(pixels[static_cast<std::size_t>(row) * w * 3 + x], 2)
                    << name << " row " << row;
            }
        }
    }
}

// The desktop's menus find each icon by its size; it is round, clear in the corners.
TEST_F(ContentFilesTest, EveryIconIsAnRgbaPngOfItsSizeWithClearCorners) {
    ASSERT_TRUE(generated);
    for (const int size : {48, 128, 256}) {
        const std::vector<char> file = readAll(path("icons/velmorra-" + std::to_string(size) + ".png"));
        const test::PngImage icon = test::PngImage::decode({file.begin(), file.end()});
        ASSERT_TRUE(icon.valid) << size;
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.height, size);
        EXPECT_EQ(icon.alphaAt(0, 0), 0) << size;
        EXPECT_EQ(icon.alphaAt(size - 1, size - 1), 0) << size;
        EXPECT_EQ(icon.alphaAt(size / 2, size / 2), 255) << size;
    }
}

TEST_F(ContentFilesTest, TheTextureCacheUploadsEveryPictureWithTheDemosFilters) {
    ASSERT_TRUE(generated);
    test::GlTestContext context;
    VELMORRA_REQUIRE_GL(context);
    const test::LogCapture log;
    TexManager manager;
    for (const auto& [name, size] : pictureSizes()) {
        if (name == "settings.bmp") {
            continue; // the dialog's picture, never a texture
        }
        // The models' textures get mipmaps; the liquid's, the stars' and the titles' do not.
        static const std::set<std::string> mipmapped{"marble.bmp", "sandstone.bmp", "basalt.bmp",
                                                     "granite.bmp"};
        const int textureName = manager.load(path(name), mipmapped.count(name) != 0 ? 2 : 1);
        EXPECT_GE(textureName, 0) << name;
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, size.width) << name;
        manager.release(textureName);
    }
    EXPECT_EQ(manager.size(), 0u);
}

} // namespace
} // namespace velmorra
