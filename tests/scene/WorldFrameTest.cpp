#include "demo/Starfield.h"
#include "math/Camera.h"
#include "math/Random.h"
#include "scene/GlBaseline.h"
#include "scene/TestElements.h"
#include "scene/World.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

namespace velmorra {
namespace {

using test::Journal;
using test::TestElement;

struct PixelCounts {
    int grey = 0;  // stars: equal, non-zero channels
    int red = 0;   // the test object
    int other = 0; // anything else that is not black
};

PixelCounts countPixels(const std::vector<std::uint8_t>& pixels) {
    PixelCounts counts;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        const int r = pixels[i];
        const int g = pixels[i + 1];
        const int b = pixels[i + 2];
        if (r == 0 && g == 0 && b == 0) {
            continue;
        }
        if (r == g && g == b) {
            ++counts.grey;
        } else if (r == 255 && g == 0 && b == 0) {
            ++counts.red;
        } else {
            ++counts.other;
        }
    }
    return counts;
}

// A whole scene pass as the renderer runs it: the demo's starfield as the
// background and one red square ten units ahead of the camera.
class WorldFrameTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!gl.isReady()) {
            return;
        }
        test::setRendererBaseline();
        world.setPerspective(45.0f, 0.5f, 1000.0f);
        Random random(7);
        auto stars = std::make_unique<Starfield>();
        stars->build(50.0f, 1.0f, 10000, nullptr, 1.0f, random);
        world.setBackground(std::move(stars));
        auto object = std::make_unique<Object>();
        object->getFrame()->translateLocal(0.0f, 0.0f, 10.0f);
        object->addElement(std::make_unique<TestElement>("square", journal));
        world.addObject(std::move(object));
    }

    PixelCounts drawFrame() {
        glViewport(0, 0, gl.width(), gl.height());
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Camera copy = camera;
        world.render(&copy);
        return countPixels(gl.readPixels());
    }

    test::GlTestContext gl;
    Journal journal;
    World world;
    Camera camera;
};

TEST_F(WorldFrameTest, StarsSurroundTheViewerBehindTheScene) {
    VELMORRA_REQUIRE_GL(gl);
    const PixelCounts ahead = drawFrame();
    EXPECT_GT(ahead.grey, 200);
    EXPECT_EQ(ahead.other, 0);
    // The square covers the middle of the picture, stars or not.
    auto pixels = gl.readPixels();
    const std::uint8_t* middle = gl.pixelAt(pixels, gl.width() / 2, gl.height() / 2);
    EXPECT_EQ(middle[0], 255);
    EXPECT_EQ(middle[1], 0);
    EXPECT_EQ(middle[2], 0);
    EXPECT_GT(ahead.red, 1000);

    // Turned round, the square is behind the camera and only stars are seen.
    camera.rotateLocalY(180.0f);
    const PixelCounts behind = drawFrame();
    EXPECT_GT(behind.grey, 200);
    EXPECT_EQ(behind.red, 0);
}

// The stars keep their place around the viewer wherever the camera stands:
// moved far beyond the ball's radius it still sees the same sky.
TEST_F(WorldFrameTest, StarsNeverComeNearer) {
    VELMORRA_REQUIRE_GL(gl);
    camera.rotateLocalY(180.0f);
    const PixelCounts home = drawFrame();
    const auto homePixels = gl.readPixels();
    camera.translateLocal(0.0f, 0.0f, 500.0f);
    const PixelCounts away = drawFrame();
    EXPECT_EQ(away.grey, home.grey);
    EXPECT_TRUE(gl.readPixels() == homePixels);
}

} // namespace
} // namespace velmorra
