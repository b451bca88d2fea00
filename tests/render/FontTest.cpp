#include "render/Font.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::GlTestContext;

// An 800 x 600 overlay on an 800 x 600 window: one unit per pixel.
class FontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORRA_REQUIRE_GL(gl);
        gl.beginOverlay();
        glColor3f(1.0f, 1.0f, 1.0f);
    }

    // Bounding box of the lit pixels: x0, y0, x1, y1; all -1 when none.
    std::vector<int> litBox() const {
        std::vector<std::uint8_t> pixels = gl.readPixels();
        std::vector<int> box{-1, -1, -1, -1};
        for (int y = 0; y < gl.height(); ++y) {
            for (int x = 0; x < gl.width(); ++x) {
                if (gl.pixelAt(pixels, x, y)[0] == 0) {
                    continue;
                }
                if (box[0] < 0) {
                    box = {x, y, x, y};
                }
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                       std::max(box[3], y)};
            }
        }
        return box;
    }

    GlTestContext gl;
    Font font;
};

TEST_F(FontTest, CreateBuildsNinetySixGlyphLists) {
    ASSERT_TRUE(font.create(&gl.surface(), "Arial", 16));
    const GLuint base = font.getListBase();
    for (GLuint list = base; list < base + 96; ++list) {
        EXPECT_TRUE(glIsList(list)) << list;
    }
    EXPECT_FALSE(font.create(&gl.surface(), "Arial", 16));
    EXPECT_EQ(font.getListBase(), base) << "a second create keeps the first lists";
    font.destroy();
    EXPECT_FALSE(glIsList(base));
    EXPECT_FALSE(font.isCreated());
}

TEST_F(FontTest, TextStartsAtTheRasterPositionOnTheBaseline) {
    ASSERT_TRUE(font.create(&gl.surface(), "Arial", 16));
    font.print(100, 200, "VELMORRA %d", 2002);
    const std::vector<int> box = litBox();
    ASSERT_GE(box[0], 0) << "nothing drawn";
    EXPECT_NEAR(box[0], 100, 2);
    EXPECT_EQ(box[1], 200) << "capitals and digits stand on the baseline";
    EXPECT_NEAR(box[3] - box[1] + 1, 12, 1) << "cap height of a 16-pixel font";
    EXPECT_GT(box[2] - box[0], 100) << "glyphs advance one after another";
    EXPECT_LT(box[2] - box[0], 150);
}

TEST_F(FontTest, PrintBeforeCreateOrWithNullFormatDrawsNothing) {
    font.print(100, 100, "text");
    font.print(100, 100, nullptr);
    ASSERT_TRUE(font.create(&gl.surface(), "Arial", 16));
    font.print(100, 100, nullptr);
    EXPECT_EQ(litBox()[0], -1);
}

TEST_F(FontTest, BytesWithoutGlyphsDrawNothingAndLongTextIsCut) {
    ASSERT_TRUE(font.create(&gl.surface(), "Arial", 16));
    GLuint stray = glGenLists(40);
    for (GLuint list = stray; list < stray + 40; ++list) {
        glNewList(list, GL_COMPILE);
        glRectf(0.0f, 0.0f, 800.0f, 600.0f);
        glEndList();
    }
    font.print(10, 10, "\t\n\x01\x1f\x80\xff");
    EXPECT_EQ(litBox()[0], -1);
    font.print(10, 10, "%s", std::string(1000, 'W').c_str());
    const std::vector<int> box = litBox();
    EXPECT_GE(box[0], 0);
    glDeleteLists(stray, 40);
}

TEST_F(FontTest, DrawsInTheCurrentColour) {
    ASSERT_TRUE(font.create(&gl.surface(), "Arial", 16));
    glColor3f(0.0f, 1.0f, 0.0f);
    font.print(300, 300, "Green");
    const std::vector<std::uint8_t> pixels = gl.readPixels();
    EXPECT_GT(gl.countNonBlack(pixels), 0);
    int redOrBlue = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        redOrBlue += pixels[i] != 0 || pixels[i + 2] != 0;
    }
    EXPECT_EQ(redOrBlue, 0);
}

} // namespace
} // namespace velmorra
