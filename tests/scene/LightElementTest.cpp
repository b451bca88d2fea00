#include "scene/LightElement.h"
#include "scene/ElementScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace velmorra {
namespace {

using test::buildFacingSquare;
using test::integerState;
using Rgb = std::array<int, 3>;

std::array<GLfloat, 4> lightValue(GLenum light, GLenum parameter) {
    std::array<GLfloat, 4> values{};
    glGetLightfv(light, parameter, values.data());
    return values;
}

// A light at the given place in an object at the origin, with the colour given.
std::unique_ptr<LightElement> makeLight(const Vector3& at, float r, float g, float b) {
    auto light = std::make_unique<LightElement>();
    light->setPosition(at.x, at.y, at.z);
    light->setColor(r, g, b);
    light->setFlags(true, false, false);
    return light;
}

class LightElementTest : public test::ElementScene {
  protected:
    // A white, diffuse-only square facing the camera at (0, 0, 5): lit only by the lights.
    void placeSquare(float z = 5.0f) {
        auto mesh = std::make_unique<MeshElement>();
        buildFacingSquare(*mesh);
        Material matte;
        matte.setAmbient(0, 0, 0, 1);
        matte.setDiffuse(1, 1, 1, 1);
        mesh->setMaterial(matte);
        place(std::move(mesh), {0, 0, z});
    }

    LightElement* placeLight(std::unique_ptr<LightElement> light) {
        return place(std::move(light), {0, 0, 0});
    }

    void writeWhiteTexture() { test::BmpBuilder::solid(4, 4, {255, 255, 255}).writeTo("w.bmp"); }

    // The light channels of a pixel, within a step of rounding.
    static void expectNear(const Rgb& actual, const Rgb& expected) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(actual[c], expected[c], 2) << "channel " << c;
        }
    }
};

TEST_F(LightElementTest, SettersClampTheSpotAndTheAttenuation) {
    LightElement light;
    EXPECT_FALSE(light.isEnabled());
    EXPECT_EQ(light.getSpotCutoff(), 180);
    const std::pair<int, int> cutoffs[] = {{-10, 0},  {0, 0},    {90, 90},   {91, 90},
                                           {120, 90}, {179, 90}, {180, 180}, {181, 90}};
    for (const auto& [given, stored] : cutoffs) {
        light.setSpot(given, 2.0f, {0, 0, -1}, false);
        EXPECT_EQ(light.getSpotCutoff(), stored) << given;
    }
    EXPECT_EQ(light.getSpotExponent(), 2.0f);
    EXPECT_EQ(light.getSpotDirection(), (Vector3{0, 0, -1}));
    EXPECT_EQ(light.getPositional(), 0.0f);

    light.setAttenuation(-1, -1, -1);
    EXPECT_EQ(light.getAttenuation(), (std::array<float, 3>{1, 0, 0}));
    light.setAttenuation(0.5f, 2, 3);
    EXPECT_EQ(light.getAttenuation(), (std::array<float, 3>{0.5f, 2, 3}));
}

TEST_F(LightElementTest, ApplyProgramsTheSlotAtTheElementsPlace) {
    VELMORRA_REQUIRE_GL(gl);
    auto made = makeLight({1, 2, 3}, 1.0f, 0.5f, 0.25f);
    made->setSpot(45, 2.5f, {1, 0, 0}, true);
    made->setAttenuation(1.5f, 0.5f, 2.7f);
    LightElement* light = placeLight(std::move(made));
    // Turned a quarter about y: the place and the spot direction turn with the object.
    CoordFrame& frame = *objects.back()->getFrame();
    frame.rotateLocalY(90.0f);
    objects.back()->updateTransform();
    const Vector3 x = frame.getXAxis();
    const Vector3 place =
        sum(sum(x, scaled(2.0f, frame.getYAxis())), scaled(3.0f, frame.getZAxis()));
    glLoadIdentity();
    light->apply(0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 45.0f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_SPOT_EXPONENT)[0], 2.5f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_CONSTANT_ATTENUATION)[0], 1.0f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_LINEAR_ATTENUATION)[0], 0.0f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_QUADRATIC_ATTENUATION)[0], 2.0f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_AMBIENT), (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_DIFFUSE), (std::array<GLfloat, 4>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_SPECULAR), (std::array<GLfloat, 4>{1, 0.5f, 0.25f, 1}));
    const auto position = lightValue(GL_LIGHT0, GL_POSITION);
    EXPECT_NEAR(position[0], place.x, 1e-5f);
    EXPECT_NEAR(position[1], place.y, 1e-5f);
    EXPECT_NEAR(position[2], place.z, 1e-5f);
    EXPECT_NEAR(std::fabs(position[2]), 1.0f, 1e-5f);
    EXPECT_EQ(position[3], 1.0f);
    const auto direction = lightValue(GL_LIGHT0, GL_SPOT_DIRECTION);
    EXPECT_NEAR(direction[0], x.x, 1e-5f);
    EXPECT_NEAR(direction[2], x.z, 1e-5f);
    EXPECT_NEAR(std::fabs(direction[2]), 1.0f, 1e-5f);
    EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);

    light->setAttenuation(0.5f, 0.5f, 0.5f);
    light->apply(0);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_CONSTANT_ATTENUATION)[0], 0.0f);
    EXPECT_EQ(lightValue(GL_LIGHT0, GL_QUADRATIC_ATTENUATION)[0], 0.0f);
}

TEST_F(LightElementTest, ApplyOnADisabledLightOnlySwitchesTheSlotOff) {
    VELMORRA_REQUIRE_GL(gl);
    LightElement light;
    const std::array<GLfloat, 4> marked = {0.1f, 0.2f, 0.3f, 1.0f};
    glLightfv(GL_LIGHT3, GL_DIFFUSE, marked.data());
    glEnable(GL_LIGHT3);
    light.apply(3);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_EQ(lightValue(GL_LIGHT3, GL_DIFFUSE), marked);
}

TEST_F(LightElementTest, HiddenAndCulledLightsStillLightTheScene) {
    VELMORRA_REQUIRE_GL(gl);
    placeSquare();
    // Behind the camera, so its element is culled.
    LightElement* light = placeLight(makeLight({10, 10, -10}, 1, 1, 1));
    auto lit = renderFrame();
    bool culled = false;
    for (int i = 0; i < world.getElementCount(); ++i) {
        if (world.getElement(i) == light) {
            culled = world.getCullResult(i)->culled;
        }
    }
    EXPECT_TRUE(culled);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    // In eye coordinates: the camera looks along +z, so x and z turn round.
    const auto position = lightValue(GL_LIGHT0, GL_POSITION);
    EXPECT_NEAR(position[0], -10.0f, 1e-4f);
    EXPECT_NEAR(position[1], 10.0f, 1e-4f);
    EXPECT_NEAR(position[2], 10.0f, 1e-4f);
    const Rgb litCentre = colorAt(lit, project({0, 0, 5}));
    EXPECT_GT(litCentre[0], 100);

    // In view, hidden from the draw pass.
    light->setPosition(0, 0, 1);
    light->setVisible(false);
    auto hidden = renderFrame();
    EXPECT_GT(colorAt(hidden, project({0, 0, 5}))[0], 200);

    light->setFlags(false, false, false);
    auto dark = renderFrame();
    EXPECT_EQ(colorAt(dark, project({0, 0, 5})), (Rgb{0, 0, 0}));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
}

TEST_F(LightElementTest, TheMarkerShowsThePlaceAndTheSpotDirection) {
    VELMORRA_REQUIRE_GL(gl);
    auto made = makeLight({0, 0, 5}, 0, 1, 0);
    made->setSpot(180, 1.0f, {1, 0, 0}, true);
    made->setMarker(true);
    placeLight(std::move(made));
    auto pixels = renderFrame();
    const auto centre = project({0, 0, 5});
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            EXPECT_EQ(colorAt(pixels, {centre[0] + dx, centre[1] + dy}), (Rgb{0, 255, 0}));
        }
    }
    EXPECT_EQ(colorAt(pixels, {centre[0], centre[1] + 3}), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(pixels, {centre[0], centre[1] - 3}), (Rgb{0, 0, 0}));
    // The line towards (1, 0, 5), two pixels wide.
    const auto middle = project({0.5f, 0, 5});
    EXPECT_EQ(colorAt(pixels, middle), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(pixels, {middle[0], middle[1] + 3}), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(pixels, {middle[0], middle[1] - 3}), (Rgb{0, 0, 0}));
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 5.0f);
    glGetFloatv(GL_LINE_WIDTH, &size);
    EXPECT_EQ(size, 2.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(LightElementTest, TheGlowIsAddedAroundTheLightUnlessSomethingNearerHidesIt) {
    VELMORRA_REQUIRE_GL(gl);
    writeWhiteTexture();
    auto made = makeLight({0, 0, 5}, 1.0f, 0.5f, 0.0f);
    EXPECT_FALSE(made->loadGlow("missing.bmp", 1.0f));
    ASSERT_TRUE(made->loadGlow("w.bmp", 1.0f));
    EXPECT_FALSE(made->loadGlow("w.bmp", 1.0f));
    made->setFlags(true, true, false);
    LightElement* light = placeLight(std::move(made));
    glEnable(GL_FOG);
    auto pixels = renderFrame();
    expectNear(colorAt(pixels, project({0, 0, 5})), {255, 128, 0});
    expectNear(colorAt(pixels, project({0.4f, 0.4f, 5})), {255, 128, 0});
    EXPECT_EQ(colorAt(pixels, project({0.6f, 0, 5})), (Rgb{0, 0, 0}));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integerState(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integerState(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    glDisable(GL_FOG);

    // A square in front, lit by the light itself only from behind: black, and in the way.
    placeSquare(3.0f);
    pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 5})), (Rgb{0, 0, 0}));

    light->release();
    EXPECT_FALSE(light->hasGlow());
    EXPECT_FALSE(light->isEnabled());
    EXPECT_EQ(TexManager::instance().size(), 0u);
}

TEST_F(LightElementTest, FlaresLieOnTheLineFromTheLightThroughTheScreenCentre) {
    VELMORRA_REQUIRE_GL(gl);
    writeWhiteTexture();
    auto made = makeLight({2, 0, 10}, 1, 1, 1);
    ASSERT_TRUE(made->loadGlow("w.bmp", 1.0f));
    EXPECT_FALSE(made->addFlare("missing.bmp", 0, 1, 1, 1, 1));
    ASSERT_TRUE(made->addFlare("w.bmp", 0.0f, 1.0f, 1, 0, 0));
    ASSERT_TRUE(made->addFlare("w.bmp", 1.0f, 1.0f, 0, 1, 0));
    ASSERT_TRUE(made->addFlare("w.bmp", 0.5f, 0.5f, 0, 0, 1));
    EXPECT_EQ(made->getFlareCount(), 3);
    made->setFlags(true, false, true);
    LightElement* light = placeLight(std::move(made));
    // A nearer square does not hide the flares: they are drawn without the depth test.
    placeSquare(4.0f);
    auto pixels = renderFrame();

    // intensity = (9 / sqrt(85))^15 over (0.02 |C - L| + 1), |C - L| = sqrt(85).
    const double k = std::pow(9.0 / std::sqrt(85.0), 15.0) / (0.02 * std::sqrt(85.0) + 1.0);
    const int level = static_cast<int>(std::lround(255.0 * k));
    // Each sprite has a colour channel of its own; the sprites overlap.
    EXPECT_NEAR(colorAt(pixels, project({2, 0, 10}))[0], level, 2);
    // The screen centre point lies at (0, 0, 1), twice the near distance ahead.
    EXPECT_NEAR(colorAt(pixels, project({0, 0, 1}))[1], level, 2);
    // Halfway, at (1, 0, 5.5), the third sprite, scaled down with its distance.
    EXPECT_NEAR(colorAt(pixels, project({1, 0, 5.5f}))[2], level, 2);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integerState(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);

    light->release();
    light->release();
    EXPECT_EQ(light->getFlareCount(), 0);
    EXPECT_EQ(TexManager::instance().size(), 0u);
    pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({2, 0, 10})), (Rgb{0, 0, 0}));
}

} // namespace
} // namespace velmorra
