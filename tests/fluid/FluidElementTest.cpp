#include "fluid/FluidElement.h"
#include "scene/ElementScene.h"
#include "scene/SceneState.h"

#include "math/Random.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>

namespace velmorra {
namespace {

using test::integerState;
using test::textureEnvironmentMode;
using Rgb = std::array<int, 3>;

class FluidElementTest : public test::ElementScene {
  protected:
    // One particle just off the centre of a fine grid; with iso level 4 its surface is a
    // sphere of radius 0.5. The material glows white, so the surface shows its texture as it is.
    FluidElement* placeBlob(const Vector3& at = {0, 0, 3}) {
        auto fluid = std::make_unique<FluidElement>();
        Random random;
        fluid->init(1, 24, 1.0f, 1.0f, 1.0f, random);
        fluid->setGravity(0, 0, 0);
        fluid->setIsoLevel(4.0);
        fluid->setAmbient(0, 0, 0, 1);
        fluid->setDiffuse(0, 0, 0, 1);
        fluid->setEmission(1, 1, 1, 1);
        Vector3* positions = nullptr;
        Vector3* velocities = nullptr;
        int count = 0;
        fluid->getParticles(positions, velocities, count);
        positions[0].set(0.01f, 0.02f, 0.03f);
        fluid->simulate(0.0f);
        return place(std::move(fluid), at);
    }

    void writeGreenTexture() { test::BmpBuilder::solid(4, 4, {0, 255, 0}).writeTo("green.bmp"); }

    static void expectRestingState() {
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
        EXPECT_FALSE(glIsEnabled(GL_POLYGON_SMOOTH));
        EXPECT_EQ(textureEnvironmentMode(), GL_MODULATE);
        EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_SMOOTH);
        std::array<GLint, 2> polygonMode{};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode.data());
        EXPECT_EQ(polygonMode[0], GL_FILL);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

TEST_F(FluidElementTest, DrawsTheSurfaceOfABlobWithItsTexture) {
    VELMORRA_REQUIRE_GL(gl);
    writeGreenTexture();
    FluidElement* fluid = placeBlob();
    ASSERT_TRUE(fluid->setTexture("green.bmp"));
    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 3})), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(pixels, project({0.4f, 0, 3})), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(pixels, project({0, -0.42f, 3})), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(pixels, project({0.6f, 0, 3})), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(pixels, project({0, 0.6f, 3})), (Rgb{0, 0, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    expectRestingState();
}

TEST_F(FluidElementTest, EveryDrawModeRestoresTheRestingState) {
    VELMORRA_REQUIRE_GL(gl);
    FluidElement* fluid = placeBlob();
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        fluid->setDrawMode(mode);
        auto pixels = renderFrame();
        EXPECT_GT(gl.countNonBlack(pixels), 1000);
        expectRestingState();
    }
    // Outlines only: the middle of a triangle stays black somewhere inside the silhouette.
    fluid->setDrawMode(0);
    auto pixels = renderFrame();
    const auto centre = project({0, 0, 3});
    int black = 0;
    for (int dx = -20; dx <= 20; ++dx) {
        if (colorAt(pixels, {centre[0] + dx, centre[1]}) == Rgb{0, 0, 0}) {
            ++black;
        }
    }
    EXPECT_GT(black, 0);
}

TEST_F(FluidElementTest, ShowsItsParticlesAsUnlitPoints) {
    VELMORRA_REQUIRE_GL(gl);
    writeGreenTexture();
    FluidElement* fluid = placeBlob();
    ASSERT_TRUE(fluid->setTexture("green.bmp"));
    fluid->setIsoLevel(1e9); // no surface at all
    fluid->setShowParticles(true);
    auto pixels = renderFrame();
    const auto at = project({0.01f, 0.02f, 3.03f});
    const Rgb point = colorAt(pixels, at);
    EXPECT_NEAR(point[0], 77, 1);
    EXPECT_NEAR(point[1], 77, 1);
    EXPECT_EQ(point[2], 255);
    EXPECT_EQ(colorAt(pixels, {at[0] + 5, at[1]}), (Rgb{0, 0, 0}));
    EXPECT_LE(gl.countNonBlack(pixels), 25);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 5.0f);
    expectRestingState();
}

TEST_F(FluidElementTest, DrawsNothingBeforeInitOrAfterRelease) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    writeGreenTexture();
    auto made = std::make_unique<FluidElement>();
    made->init(0, 24, 1, 1, 1, random);
    EXPECT_FALSE(made->isInitialized());
    made->simulate(0.01f);
    FluidElement* fluid = place(std::move(made), {0, 0, 3});
    glEnable(GL_NORMALIZE);
    EXPECT_EQ(gl.countNonBlack(renderFrame()), 0);
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE)); // untouched
    glDisable(GL_NORMALIZE);

    fluid->init(1, 24, 1, 1, 1, random);
    ASSERT_TRUE(fluid->setTexture("green.bmp"));
    fluid->init(0, 24, 1, 1, 1, random); // ignored: still initialised, texture kept
    EXPECT_TRUE(fluid->isInitialized());
    EXPECT_EQ(TexManager::instance().size(), 1u);
    fluid->release();
    EXPECT_FALSE(fluid->isInitialized());
    EXPECT_EQ(TexManager::instance().size(), 0u);
    fluid->release();
    EXPECT_EQ(gl.countNonBlack(renderFrame()), 0);

    // Re-initialising gives the texture back too.
    fluid->init(1, 24, 1, 1, 1, random);
    ASSERT_TRUE(fluid->setTexture("green.bmp"));
    fluid->init(2, 10, 1, 1, 1, random);
    EXPECT_FALSE(fluid->getMaterial().getTexture(0).isLoaded());
    EXPECT_EQ(TexManager::instance().size(), 0u);
}

TEST_F(FluidElementTest, ReportsTheNearDistanceAsItsDepthWhereverItIs) {
    VELMORRA_REQUIRE_GL(gl);
    FluidElement* fluid = placeBlob({0, 0, 300});
    world.render(&camera);
    EXPECT_FLOAT_EQ(fluid->getRadius(), std::sqrt(3.0f));
    CullResult result = fluid->cullTest(world.getSceneState());
    EXPECT_FALSE(result.culled);
    EXPECT_EQ(result.depth, 0.5f);
    objects.back()->getFrame()->translateLocal(0, 0, -310);
    world.render(&camera);
    result = fluid->cullTest(world.getSceneState());
    EXPECT_TRUE(result.culled);
    EXPECT_EQ(result.depth, world.getSceneState().nearDistance);
    EXPECT_EQ(fluid->getType(), Element::fluidType);
}

} // namespace
} // namespace velmorra
