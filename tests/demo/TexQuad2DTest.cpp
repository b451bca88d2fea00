#include "demo/TexQuad2D.h"
#include "render/BmpBuilder.h"
#include "render/TexManager.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::BmpBuilder;
using test::BmpPixel;

using test::glInteger;

// A 64 x 64 picture in four coloured quadrants: red lower left, green lower
// right, blue upper right, white upper left.
void writeQuadrants(const std::string& fileName) {
    std::vector<BmpPixel> pixels;
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            const bool right = column >= 32;
            const bool top = row >= 32;
            if (!top) {
                pixels.push_back(right ? BmpPixel{0, 255, 0} : BmpPixel{255, 0, 0});
            } else {
                pixels.push_back(right ? BmpPixel{0, 0, 255} : BmpPixel{255, 255, 255});
            }
        }
    }
    BmpBuilder(64, 64).pixels(pixels).writeTo(fileName);
}

// The renderer's 800 x 600 overlay on an 800 x 600 window: one unit per pixel.
class TexQuad2DTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORRA_REQUIRE_GL(gl);
        gl.beginOverlay();
        writeQuadrants("quadrants.bmp");
    }

    std::vector<std::uint8_t> colourAt(int x, int y) const {
        std::vector<std::uint8_t> pixels = gl.readPixels();
        const std::uint8_t* pixel = gl.pixelAt(pixels, x, y);
        return {pixel[0], pixel[1], pixel[2]};
    }

    test::LogCapture log;
    test::GlTestContext gl;
    TexQuad2D quad;
};

using Rgb = std::vector<std::uint8_t>;

TEST_F(TexQuad2DTest, CornersShowTheirTextureCoordinates) {
    quad.load("quadrants.bmp");
    quad.draw();
    // The default quad covers (200, 150) to (600, 450).
    EXPECT_EQ(colourAt(300, 225), (Rgb{255, 0, 0}));
    EXPECT_EQ(colourAt(500, 225), (Rgb{0, 255, 0}));
    EXPECT_EQ(colourAt(500, 375), (Rgb{0, 0, 255}));
    EXPECT_EQ(colourAt(300, 375), (Rgb{255, 255, 255}));
    EXPECT_EQ(colourAt(100, 100), (Rgb{0, 0, 0}));

    // Only the upper half of the texture, stretched over a band at the bottom.
    glClear(GL_COLOR_BUFFER_BIT);
    quad.setSize(800.0f, 100.0f);
    quad.setPosition(0.0f, 0.0f);
    quad.setTexCoord(0, 0.0f, 0.5f);
    quad.setTexCoord(1, 1.0f, 0.5f);
    quad.setTexCoord(2, 1.0f, 1.0f);
    quad.setTexCoord(3, 0.0f, 1.0f);
    quad.setTexCoord(4, 0.5f, 0.5f);
    quad.setTexCoord(-1, 0.5f, 0.5f);
    quad.draw();
    EXPECT_EQ(colourAt(200, 50), (Rgb{255, 255, 255}));
    EXPECT_EQ(colourAt(600, 50), (Rgb{0, 0, 255}));
    EXPECT_EQ(colourAt(600, 150), (Rgb{0, 0, 0}));
}

TEST_F(TexQuad2DTest, DrawsAdditivelyScaledByBrightnessAndRestoresState) {
    quad.load("quadrants.bmp");
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    quad.setBrightness(0.5f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    quad.draw();
    const Rgb red = colourAt(300, 225);
    EXPECT_NEAR(red[0], 51 + 128, 2);
    EXPECT_NEAR(red[1], 51, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(TexQuad2DTest, BrightnessIsClampedAndZeroChangesNoPixel) {
    quad.setBrightness(1.5f);
    EXPECT_EQ(quad.getBrightness(), 1.0f);
    quad.setBrightness(-0.2f);
    EXPECT_EQ(quad.getBrightness(), 0.0f);
    quad.load("quadrants.bmp");
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<std::uint8_t> before = gl.readPixels();
    quad.draw();
    EXPECT_EQ(gl.readPixels(), before);
}

TEST_F(TexQuad2DTest, HiddenQuadChangesNoState) {
    quad.load("quadrants.bmp");
    quad.setVisible(false);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.1f, 0.2f, 0.3f);
    quad.draw();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ZERO);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[2], 0.3f);
    EXPECT_EQ(gl.countNonBlack(gl.readPixels()), 0);
}

TEST_F(TexQuad2DTest, LoadingAgainGivesTheFirstTextureBackFirst) {
    BmpBuilder::solid(16, 16, {10, 20, 30}).writeTo("second.bmp");
    TexManager& cache = TexManager::instance();
    quad.load("quadrants.bmp");
    const int first = quad.getTexture().getTextureName();
    EXPECT_EQ(cache.referenceCount(first), 1);
    quad.load("second.bmp");
    EXPECT_EQ(cache.referenceCount(first), 0);
    EXPECT_EQ(cache.referenceCount(quad.getTexture().getTextureName()), 1);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    quad.unload();
    EXPECT_FALSE(quad.isTextureLoaded());
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(TexQuad2DTest, MissingFileDrawsAFlatGreyRectangle) {
    quad.load("absent.bmp");
    EXPECT_TRUE(quad.isTextureLoaded());
    EXPECT_FALSE(quad.getTexture().isLoaded());
    quad.setBrightness(0.5f);
    quad.draw();
    const Rgb grey = colourAt(400, 300);
    EXPECT_NEAR(grey[0], 128, 1);
    EXPECT_EQ(grey[0], grey[2]);
    EXPECT_NE(log.text().find("Error: could not open file!\n\n"), std::string::npos);
}

} // namespace
} // namespace velmorra
