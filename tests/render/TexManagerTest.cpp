#include "render/TexManager.h"
#include "render/BmpBuilder.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::BmpBuilder;

GLint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint textureParameter(GLenum parameter) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

GLint levelWidth(GLint level) {
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

// Each test runs with its own cache, its own log and a fresh directory that
// the log and the test's BMP files are written to.
class TexManagerTest : public testing::Test {
  protected:
    test::GlTestContext gl;
    test::LogCapture log;
    TexManager cache;
};

TEST_F(TexManagerTest, SharesOneTextureBetweenLoadsOfTheSameFileAndFilter) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder::solid(4, 2, {9, 9, 9}).writeTo("a.bmp");
    const int first = cache.load("a.bmp", 1);
    const int second = cache.load("a.bmp", 1);
    ASSERT_NE(first, -1);
    EXPECT_EQ(second, first);
    EXPECT_EQ(cache.referenceCount(first), 2);
    EXPECT_EQ(cache.size(), 1u);

    cache.release(first);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(first)));
    EXPECT_EQ(cache.referenceCount(first), 1);
    cache.release(first);
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(first)));
    EXPECT_EQ(cache.size(), 0u);

    EXPECT_EQ(log.text(), "Loading texture file: a.bmp\n"
                          "Loaded 4x2 image.\n"
                          "Loading texture file: a.bmp\n"
                          "Texture already loaded, binding to existing name.\n"
                          "Deleted texture a.bmp\n");
}

TEST_F(TexManagerTest, MatchesNamesWithoutCaseButFiltersExactly) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder::solid(4, 2, {9, 9, 9}).writeTo("a.bmp");
    const int linear = cache.load("a.bmp", 1);
    EXPECT_EQ(cache.load("A.BMP", 1), linear);
    const int mipmapped = cache.load("a.bmp", 2);
    EXPECT_NE(mipmapped, -1);
    EXPECT_NE(mipmapped, linear);
    EXPECT_EQ(cache.size(), 2u);

    // The entry keeps the name it was first loaded with.
    cache.release(linear);
    cache.release(linear);
    cache.release(mipmapped);
    const std::string text = log.text();
    EXPECT_NE(text.find("Loading texture file: A.BMP\n"
                        "Texture already loaded, binding to existing name.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Deleted texture a.bmp\nDeleted texture a.bmp\n"), std::string::npos);
}

TEST_F(TexManagerTest, IgnoresReleaseOfAnUnknownName) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder::solid(4, 2, {9, 9, 9}).writeTo("a.bmp");
    const int name = cache.load("a.bmp", 0);
    cache.release(name + 1000);
    cache.release(-1);
    EXPECT_EQ(cache.referenceCount(name), 1);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(name)));
    cache.release(name);
    EXPECT_EQ(log.text().find("Deleted texture a.bmp\n"), log.text().rfind("Deleted"));
}

TEST_F(TexManagerTest, FailedLoadMakesNoEntryAndIsRetriedLater) {
    VELMORRA_REQUIRE_GL(gl);
    EXPECT_EQ(cache.load("later.bmp", 1), -1);
    EXPECT_EQ(cache.size(), 0u);
    BmpBuilder::solid(2, 2, {1, 2, 3}).writeTo("later.bmp");
    const int name = cache.load("later.bmp", 1);
    EXPECT_NE(name, -1);
    cache.release(name);
    EXPECT_EQ(log.text(), "Loading texture file: later.bmp\n"
                          "Error: could not open file!\n\n"
                          "Loading texture file: later.bmp\n"
                          "Loaded 2x2 image.\n"
                          "Deleted texture later.bmp\n");
}

TEST_F(TexManagerTest, RefusesHostileHeadersWithoutTouchingGl) {
    VELMORRA_REQUIRE_GL(gl);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    BmpBuilder(4, -4).withoutRows().writeTo("rowless.bmp");
    BmpBuilder(0, 4).withoutRows().writeTo("empty.bmp");
    BmpBuilder(0x40000000, 0x40000000).withoutRows().writeTo("huge.bmp");
    BmpBuilder(largest + 1, 1).pixelData({1, 2, 3}).writeTo("wide.bmp");
    BmpBuilder(4, 4).bitsPerPixel(8).compression(1).pixelData({9, 0}).writeTo("runs.bmp");
    for (const char* name : {"rowless.bmp", "empty.bmp", "huge.bmp", "wide.bmp", "runs.bmp"}) {
        SCOPED_TRACE(name);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(cache.load(name, 2), -1);
        EXPECT_EQ(boundTexture(), 0);
    }
    EXPECT_EQ(cache.size(), 0u);
    const std::string wide = "size " + std::to_string(largest + 1) + " x 1";
    EXPECT_EQ(log.text(), "Loading texture file: rowless.bmp\n"
                          "Unsupported BMP file: no pixel data.\n"
                          "Error: could not open file!\n\n"
                          "Loading texture file: empty.bmp\n"
                          "Unsupported BMP file: size 0 x 4.\n"
                          "Error: could not open file!\n\n"
                          "Loading texture file: huge.bmp\n"
                          "Unsupported BMP file: size 1073741824 x 1073741824.\n"
                          "Error: could not open file!\n\n"
                          "Loading texture file: wide.bmp\n"
                          "Unsupported BMP file: " + wide + ".\n"
                          "Error: could not open file!\n\n"
                          "Loading texture file: runs.bmp\n"
                          "Unsupported BMP file: RLE8 run past the end of a row at byte 58.\n"
                          "Error: could not open file!\n\n");
}

TEST_F(TexManagerTest, UploadsTheImageBoundWithItsFilter) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder(3, 2)
        .pixels({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}})
        .paddingByte(0xee)
        .writeTo("three.bmp");
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const int nearest = cache.load("three.bmp", 0);
    ASSERT_NE(nearest, -1);
    EXPECT_EQ(boundTexture(), nearest);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);

    std::vector<std::uint8_t> texels(18);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                                 16, 17, 18}));
    cache.release(nearest);
}

TEST_F(TexManagerTest, LinearAndMipmappedFilters) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder::solid(8, 8, {200, 100, 50}).writeTo("eight.bmp");
    const int linear = cache.load("eight.bmp", 1);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(levelWidth(1), 0);

    const int mipmapped = cache.load("eight.bmp", 2);
    EXPECT_EQ(boundTexture(), mipmapped);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(levelWidth(3), 1);

    // Unknown codes fall back to nearest.
    const int other = cache.load("eight.bmp", 7);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(cache.size(), 3u);
    for (int name : {linear, mipmapped, other}) {
        cache.release(name);
    }
}

TEST_F(TexManagerTest, LongFileNamesAreKeptWhole) {
    VELMORRA_REQUIRE_GL(gl);
    const std::string name = std::string(200, 'n') + ".bmp";
    BmpBuilder::solid(2, 2, {1, 1, 1}).writeTo(name);
    const int first = cache.load(name, 1);
    ASSERT_NE(first, -1);
    // A name cut to a fixed field would never match again; the whole one does.
    EXPECT_EQ(cache.load(name, 1), first);
    EXPECT_EQ(cache.load(std::string(200, 'n') + ".bmpx", 1), -1);
    cache.release(first);
    cache.release(first);
    EXPECT_NE(log.text().find("Deleted texture " + name + "\n"), std::string::npos);
}

TEST_F(TexManagerTest, ReleaseAfterTheLogClosedStillUpdatesTheCache) {
    VELMORRA_REQUIRE_GL(gl);
    BmpBuilder::solid(2, 2, {1, 1, 1}).writeTo("a.bmp");
    const int name = cache.load("a.bmp", 0);
    const std::string before = log.text(); // closes the log
    cache.release(name);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(before, "Loading texture file: a.bmp\nLoaded 2x2 image.\n");
}

// Textures loaded anywhere in the program go through the one cache: two handles of the same file
// and filter hold one GL texture, read and uploaded once.
TEST(TexManagerInstance, IsOneCacheForTheProcess) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    test::LogCapture log;
    BmpBuilder::solid(2, 2, {9, 9, 9}).writeTo("shared.bmp");
    {
        Texture first;
        Texture second;
        ASSERT_TRUE(first.load("shared.bmp", 1));
        ASSERT_TRUE(second.load("shared.bmp", 1));
        EXPECT_EQ(second.getTextureName(), first.getTextureName());
        EXPECT_EQ(TexManager::instance().size(), 1u);
        EXPECT_EQ(TexManager::instance().referenceCount(first.getTextureName()), 2);
    }
    EXPECT_EQ(TexManager::instance().size(), 0u);
    EXPECT_EQ(log.text(), "Loading texture file: shared.bmp\nLoaded 2x2 image.\n"
                          "Loading texture file: shared.bmp\n"
                          "Texture already loaded, binding to existing name.\n"
                          "Deleted texture shared.bmp\n");
}

} // namespace
} // namespace velmorra
