#include "scene/MeshElement.h"
#include "scene/ElementScene.h"
#include "scene/SceneState.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace velmorra {
namespace {

using test::buildFacingSquare;
using test::fileCoordinates;
using test::integerState;

// An unlit-looking material: its emission alone gives its colour.
Material glowing(float r, float g, float b) {
    Material material;
    material.setAmbient(0, 0, 0, 1);
    material.setDiffuse(0, 0, 0, 1);
    material.setEmission(r, g, b, 1);
    return material;
}

class MeshElementTest : public test::ElementScene {
  protected:
    // A glowing square of half side 1 at (0, 0, 5), filling the middle of the window.
    MeshElement* placeSquare(const Material& material) {
        auto mesh = std::make_unique<MeshElement>();
        buildFacingSquare(*mesh);
        mesh->setMaterial(material);
        return place(std::move(mesh), {0, 0, 5});
    }
};

TEST_F(MeshElementTest, ConvertsTheFileAxesAndBoundsTheMeshFromItsOrigin) {
    VELMORRA_REQUIRE_GL(gl);
    MeshElement mesh;
    // Clustered far from the origin: the sphere still centres on the origin.
    mesh.build({{1, 2, 3}, {3, 4, 0}, {2, 3, 1}}, {}, {{0, 1, 2}});
    ASSERT_TRUE(mesh.isBuilt());
    EXPECT_EQ(mesh.getVertices()[0], (Vector3{1, 3, -2}));
    EXPECT_EQ(mesh.getVertices()[1], (Vector3{3, 0, -4}));
    EXPECT_FLOAT_EQ(mesh.getRadius(), 5.0f);
    ASSERT_EQ(mesh.getTexCoords().size(), 3u);
    EXPECT_EQ(mesh.getTexCoords()[2].u, 0.0f);
    EXPECT_NE(mesh.getDisplayList(), 0u);

    // A second build offers arrays the built mesh does not take.
    mesh.build({{9, 9, 9}}, {}, {});
    EXPECT_EQ(mesh.getVertices().size(), 3u);
}

TEST_F(MeshElementTest, WeldsNormalsAcrossRecordsThatShareAPosition) {
    VELMORRA_REQUIRE_GL(gl);
    // Two faces folded along the edge from (0, 0, 0) to (0, 1, 0) (scene coordinates), each
    // with its own records of that edge: one faces -z, the other -x.
    const std::vector<Vector3> scene = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0},
                                        {0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<Vector3> file;
    for (const Vector3& v : scene) {
        file.push_back(fileCoordinates(v));
    }
    MeshElement mesh;
    mesh.build(file, {}, {{0, 1, 2}, {3, 5, 4}});
    const auto& normals = mesh.getNormals();
    const float s = 1.0f / std::sqrt(2.0f);
    for (int shared : {0, 1, 3, 4}) {
        SCOPED_TRACE(shared);
        EXPECT_NEAR(normals[shared].x, -s, 1e-6f);
        EXPECT_NEAR(normals[shared].y, 0.0f, 1e-6f);
        EXPECT_NEAR(normals[shared].z, -s, 1e-6f);
    }
    EXPECT_EQ(normals[2], (Vector3{0, 0, -1}));
    EXPECT_EQ(normals[5], (Vector3{-1, 0, 0}));
}

TEST_F(MeshElementTest, DrawsItsMaterialAndLeavesTheRestingState) {
    VELMORRA_REQUIRE_GL(gl);
    placeSquare(glowing(0, 1, 0));
    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 5})), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(colorAt(pixels, project({0, 1.5f, 5})), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integerState(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)); // an untextured material turns texturing off
    EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshElementTest, WireframeDrawsUnlitOutlinesThenRestoresFilledLitDrawing) {
    VELMORRA_REQUIRE_GL(gl);
    MeshElement* mesh = placeSquare(glowing(0, 0, 0)); // black when lit
    mesh->setDrawMode(0);
    glColor3f(1, 1, 0);
    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({-0.5f, -0.5f, 5})), (std::array<int, 3>{0, 0, 0}));
    // The square's left edge, in the current colour because lighting is off.
    const auto edge = project({-1, 0, 5});
    int outline = 0;
    for (int dx = -2; dx <= 2; ++dx) {
        if (colorAt(pixels, {edge[0] + dx, edge[1]}) == std::array<int, 3>{255, 255, 0}) {
            ++outline;
        }
    }
    EXPECT_GE(outline, 1);
    std::array<GLint, 2> polygonMode{};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode.data());
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_EQ(polygonMode[1], GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    mesh->setDrawMode(1);
    renderFrame();
    EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_SMOOTH);
}

TEST_F(MeshElementTest, ANonOpaqueMeshIsAddedOnTopAndTheStatesComeBack) {
    VELMORRA_REQUIRE_GL(gl);
    Material red = glowing(1, 0, 0);
    placeSquare(red);
    Material green = glowing(0, 1, 0);
    green.setOpaque(false);
    // Nearer but drawn later (smaller depth): added onto the red square, not covering it.
    auto mesh = std::make_unique<MeshElement>();
    buildFacingSquare(*mesh, 0.5f);
    mesh->setMaterial(green);
    place(std::move(mesh), {0, 0, 4});
    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 4})), (std::array<int, 3>{255, 255, 0}));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integerState(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integerState(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(MeshElementTest, KeepsItsFirstTextureAndGivesItBackOnRelease) {
    VELMORRA_REQUIRE_GL(gl);
    test::BmpBuilder::solid(4, 4, {0, 0, 255}).writeTo("blue.bmp");
    test::BmpBuilder::solid(4, 4, {255, 0, 0}).writeTo("red.bmp");
    Material white = glowing(1, 1, 1);
    MeshElement* mesh = placeSquare(white);
    EXPECT_FALSE(mesh->setTexture("missing.bmp"));
    ASSERT_TRUE(mesh->setTexture("blue.bmp"));
    const int first = mesh->getMaterial().getTexture(0).getTextureName();
    EXPECT_FALSE(mesh->setTexture("red.bmp"));
    EXPECT_EQ(mesh->getMaterial().getTexture(0).getTextureName(), first);
    EXPECT_EQ(TexManager::instance().size(), 1u);

    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 5})), (std::array<int, 3>{0, 0, 255}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint minification = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minification);
    EXPECT_EQ(minification, GL_LINEAR_MIPMAP_NEAREST);

    mesh->release();
    EXPECT_EQ(TexManager::instance().size(), 0u);
    EXPECT_FALSE(mesh->isBuilt());
    mesh->release();
}

TEST_F(MeshElementTest, AReleasedMeshDrawsNothingAndTouchesNoState) {
    VELMORRA_REQUIRE_GL(gl);
    MeshElement* mesh = placeSquare(glowing(1, 1, 1));
    mesh->setDrawMode(0);
    const GLuint list = mesh->getDisplayList();
    mesh->release();
    EXPECT_FALSE(glIsList(list));

    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    const std::array<GLfloat, 4> marked = {0.25f, 0.5f, 0.75f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, marked.data());
    mesh->render(world.getSceneState());
    mesh->renderGeometry();
    EXPECT_EQ(gl.countNonBlack(gl.readPixels()), 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_FLAT);
    std::array<GLfloat, 4> emission{};
    glGetMaterialfv(GL_FRONT, GL_EMISSION, emission.data());
    EXPECT_EQ(emission, marked);
    EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(MeshElementTest, GeometryAloneIsDrawnWithTheCallersState) {
    VELMORRA_REQUIRE_GL(gl);
    MeshElement* mesh = placeSquare(glowing(1, 0, 0));
    world.render(&camera);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0, 0, 1);
    mesh->renderGeometry();
    auto pixels = gl.readPixels();
    EXPECT_EQ(colorAt(pixels, project({0, 0, 5})), (std::array<int, 3>{0, 0, 255}));
    glEnable(GL_LIGHTING);
}

TEST_F(MeshElementTest, FacesNamingMissingVerticesAreSkipped) {
    VELMORRA_REQUIRE_GL(gl);
    auto mesh = std::make_unique<MeshElement>();
    std::vector<Vector3> vertices = {fileCoordinates({-1, -1, 0}), fileCoordinates({-1, 1, 0}),
                                     fileCoordinates({1, -1, 0})};
    mesh->build(vertices, {{0, 0}}, {{0, 1, 2}, {2, 1, 3}, {65535, 0, 1}});
    mesh->setMaterial(glowing(1, 1, 1));
    ASSERT_TRUE(mesh->isBuilt());
    EXPECT_EQ(mesh->getNormals()[0], (Vector3{0, 0, -1}));
    place(std::move(mesh), {0, 0, 5});
    auto pixels = renderFrame();
    EXPECT_EQ(colorAt(pixels, project({-0.5f, -0.5f, 5})), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(colorAt(pixels, project({0.5f, 0.5f, 5})), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(MeshElementTest, DepthIsTheNearPlaneDistancePlusTheRadius) {
    VELMORRA_REQUIRE_GL(gl);
    MeshElement* mesh = placeSquare(glowing(1, 1, 1));
    world.render(&camera);
    const CullResult result = mesh->cullTest(world.getSceneState());
    EXPECT_FALSE(result.culled);
    // The near plane lies 0.5 in front of the camera; the square's radius is sqrt(2).
    EXPECT_NEAR(result.depth, 4.5f + std::sqrt(2.0f), 1e-4f);

    MeshElement unbuilt;
    EXPECT_EQ(unbuilt.getRadius(), 0.0f);
    EXPECT_TRUE(unbuilt.cullTest(world.getSceneState()).culled); // placed by no Object
}

} // namespace
} // namespace velmorra
