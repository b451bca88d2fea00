// One whole frame of the kind the demo draws: a model read from a 3DS file made by the
// content tools' writer, lit by a light element, with the liquid in front of it.

#include "fluid/FluidElement.h"
#include "scene/ElementScene.h"
#include "scene/LightElement.h"
#include "scene/ThreeDsLoader.h"

#include "ThreeDsWriter.h"
#include "math/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmorra {
namespace {

using tools::ThreeDsWriter;
using Rgb = std::array<int, 3>;

// A wall from (-4, -3) to (4, 3) in its plane, facing the camera, as a grid of unit squares:
// with smooth shading the lighting is exact at the grid's vertices.
ThreeDsWriter::Mesh wall() {
    ThreeDsWriter::Mesh mesh;
    mesh.name = "Wall";
    const int columns = 9;
    for (int y = -3; y <= 3; ++y) {
        for (int x = -4; x <= 4; ++x) {
            // The file is z-up: the wall's plane is the file's x-z plane.
            mesh.vertices.push_back({static_cast<float>(x), 0.0f, static_cast<float>(y)});
            mesh.mapping.push_back({(x + 4) / 8.0f, (y + 3) / 6.0f});
        }
    }
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            const auto corner = [&](int dx, int dy) {
                return static_cast<std::uint16_t>((row + dy) * columns + column + dx);
            };
            mesh.faces.push_back({corner(0, 0), corner(0, 1), corner(1, 0)});
            mesh.faces.push_back({corner(1, 0), corner(0, 1), corner(1, 1)});
        }
    }
    std::vector<std::uint16_t> all(mesh.faces.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<std::uint16_t>(i);
    }
    mesh.groups = {{"Brick", all}};
    return mesh;
}

class SceneFrameTest : public test::ElementScene {};

TEST_F(SceneFrameTest, AModelLitByALightWithTheLiquidInFront) {
    Random random;
    VELMORRA_REQUIRE_GL(gl);
    test::BmpBuilder::solid(4, 4, {255, 255, 255}).writeTo("wall.bmp");
    test::BmpBuilder::solid(4, 4, {0, 255, 0}).writeTo("liquid.bmp");
    const std::vector<ThreeDsWriter::Material> materials{
        {"Brick", {0, 0, 0}, {255, 0, 0}, {0, 0, 0}, 20, "wall.bmp"}};
    const std::vector<ThreeDsWriter::Mesh> meshes{wall()};
    ASSERT_TRUE(tools::ByteSink::writeFile("wall.3ds", ThreeDsWriter::scene(materials, meshes)));

    auto model = std::make_unique<Object>();
    ASSERT_TRUE(load3ds("wall.3ds", model.get()));
    ASSERT_EQ(model->getElementCount(), 1);
    model->getFrame()->translateLocal(0, 0, 8);
    world.addObject(std::move(model));

    auto made = std::make_unique<LightElement>();
    made->setPosition(0, 0, 2);
    made->setFlags(true, false, false);
    made->setVisible(false);
    LightElement* light = place(std::move(made), {0, 0, 0});

    auto liquid = std::make_unique<FluidElement>();
    liquid->init(1, 24, 1, 1, 1, random);
    liquid->setIsoLevel(4.0);
    liquid->setAmbient(0, 0, 0, 1);
    liquid->setDiffuse(0, 0, 0, 1);
    liquid->setEmission(1, 1, 1, 1);
    ASSERT_TRUE(liquid->setTexture("liquid.bmp"));
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
    liquid->getParticles(positions, velocities, count);
    positions[0].set(0.01f, 0.02f, 0.03f);
    liquid->simulate(0.0f);
    place(std::move(liquid), {0, 0, 3});

    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 3})), (Rgb{0, 255, 0}));
    // Diffuse red times the cosine between the wall's normal and the way to the light.
    const auto expectLit = [&](const Vector3& at) {
        const Vector3 toLight = difference({0, 0, 2}, at);
        const double cosine = -toLight.z / length(toLight);
        const Rgb seen = colorAt(pixels, project(at));
        EXPECT_NEAR(seen[0], 255.0 * cosine, 2.0) << at.x << ", " << at.y;
        EXPECT_EQ(seen[1], 0);
        EXPECT_EQ(seen[2], 0);
    };
    expectLit({2, 0, 8});
    expectLit({-3, 2, 8});
    expectLit({1, -2, 8});
    EXPECT_EQ(colorAt(pixels, project({4.4f, 0, 8})), (Rgb{0, 0, 0}));

    light->setFlags(false, false, false);
    pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({2, 0, 8})), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(pixels, project({0, 0, 3})), (Rgb{0, 255, 0}));
}

} // namespace
} // namespace velmorra
