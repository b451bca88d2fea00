#include "scene/World.h"
#include "math/Camera.h"
#include "scene/GlBaseline.h"
#include "scene/SceneState.h"
#include "scene/TestElements.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace velmorra {
namespace {

using test::Journal;
using test::TestBackground;
using test::TestElement;
using test::TestLight;

using Names = std::vector<std::string>;

// A world seen by a camera at the origin looking along +z, with the demo's
// projection: 45 degrees, near 0.5, far 1000.
class WorldTest : public testing::Test {
  protected:
    void SetUp() override {
        if (gl.isReady()) {
            test::setRendererBaseline();
            world.setPerspective(45.0f, 0.5f, 1000.0f);
        }
    }

    // One element of the given kind at world position (0, 0, z), in its own object.
    template <typename Kind, typename... Extra>
    Kind* addAt(const std::string& name, float z, Extra... extra) {
        auto object = std::make_unique<Object>();
        auto element = std::make_unique<Kind>(name, journal, extra...);
        Kind* raw = element.get();
        element->setPosition(0.0f, 0.0f, z);
        object->addElement(std::move(element));
        world.addObject(std::move(object));
        return raw;
    }

    test::GlTestContext gl;
    Journal journal;
    World world;
    Camera camera;
};

TEST_F(WorldTest, ListsTheElementsOfEveryObjectInOrder) {
    VELMORRA_REQUIRE_GL(gl);
    auto first = std::make_unique<Object>();
    first->addElement(std::make_unique<TestElement>("a", journal));
    first->addElement(std::make_unique<TestElement>("b", journal));
    world.addObject(std::move(first));
    world.addObject(nullptr);
    auto empty = std::make_unique<Object>();
    world.addObject(std::move(empty));
    addAt<TestElement>("c", 5.0f);
    EXPECT_EQ(world.getObjectCount(), 3);
    ASSERT_EQ(world.getElementCount(), 3);
    EXPECT_EQ(static_cast<TestElement*>(world.getElement(2))->name, "c");
    EXPECT_EQ(world.getElement(3), nullptr);
    EXPECT_EQ(world.getCullResult(-1), nullptr);
}

TEST_F(WorldTest, DrawsVisibleUnculledElementsBackToFront) {
    VELMORRA_REQUIRE_GL(gl);
    addAt<TestElement>("near", 5.0f);
    addAt<TestElement>("far", 20.0f);
    addAt<TestElement>("behind", -10.0f);
    addAt<TestElement>("middle", 10.0f);
    TestElement* hidden = addAt<TestElement>("hidden", 15.0f);
    hidden->setVisible(false);

    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"far", "middle", "near"}));
    // Hidden and culled elements are still tested and sorted.
    EXPECT_EQ(hidden->cullTests, 1);
    for (int i = 0; i + 1 < world.getElementCount(); ++i) {
        EXPECT_GE(world.getCullResult(i)->depth, world.getCullResult(i + 1)->depth);
    }
    EXPECT_TRUE(world.getCullResult(world.getElementCount() - 1)->culled);
    EXPECT_FLOAT_EQ(world.getCullResult(0)->depth, 20.0f - 0.5f + 1.0f);

    // The next render starts from the sorted order and gives the same result.
    journal.drawn.clear();
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"far", "middle", "near"}));
    EXPECT_EQ(hidden->cullTests, 2);
}

TEST_F(WorldTest, ElementsOfEqualDepthAreEachDrawnOnce) {
    VELMORRA_REQUIRE_GL(gl);
    for (const char* name : {"a", "b", "c", "d"}) {
        addAt<TestElement>(name, 8.0f);
    }
    addAt<TestElement>("e", 9.0f);
    world.render(&camera);
    ASSERT_EQ(journal.drawn.size(), 5u);
    EXPECT_EQ(journal.drawn.front(), "e");
    Names sorted = journal.drawn;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Names{"a", "b", "c", "d", "e"}));
}

TEST_F(WorldTest, ElementsDrawUnderTheCameraViewAndTheirPlacement) {
    VELMORRA_REQUIRE_GL(gl);
    auto object = std::make_unique<Object>();
    object->getFrame()->translateLocal(1.0f, 2.0f, 3.0f);
    auto element = std::make_unique<TestElement>("placed", journal);
    TestElement* placed = element.get();
    element->setPosition(0.0f, 0.0f, 1.0f);
    object->addElement(std::move(element));
    world.addObject(std::move(object));
    world.render(&camera);
    // The view of a camera looking along +z turns x and z around: (1, 2, 4)
    // in the world is (-1, 2, -4) in the eye's coordinates.
    EXPECT_FLOAT_EQ(placed->modelview[0], -1.0f);
    EXPECT_FLOAT_EQ(placed->modelview[10], -1.0f);
    EXPECT_FLOAT_EQ(placed->modelview[12], -1.0f);
    EXPECT_FLOAT_EQ(placed->modelview[13], 2.0f);
    EXPECT_FLOAT_EQ(placed->modelview[14], -4.0f);
}

TEST_F(WorldTest, MovingAnObjectTakesEffectAtTheNextRender) {
    VELMORRA_REQUIRE_GL(gl);
    auto object = std::make_unique<Object>();
    Object* raw = object.get();
    object->addElement(std::make_unique<TestElement>("moving", journal));
    object->getFrame()->translateLocal(0.0f, 0.0f, 10.0f);
    world.addObject(std::move(object));
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"moving"}));
    raw->getFrame()->translateLocal(0.0f, 0.0f, -20.0f);
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"moving"}));
    EXPECT_TRUE(world.getCullResult(0)->culled);
}

// Lights are assigned from the small-depth end of the sorted list: the nearest
// eight enabled lights get GL_LIGHT0 ... GL_LIGHT7 in order of depth.
TEST_F(WorldTest, OnlyTheEightNearestEnabledLightsShine) {
    VELMORRA_REQUIRE_GL(gl);
    for (int z : {6, 2, 9, 4, 10, 3, 8, 5, 7}) {
        addAt<TestLight>("light" + std::to_string(z), static_cast<float>(z));
    }
    addAt<TestLight>("off", 1.0f, false);
    world.render(&camera);
    ASSERT_EQ(journal.lights.size(), 8u);
    for (int slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(journal.lights[slot].first, "light" + std::to_string(slot + 2));
        EXPECT_EQ(journal.lights[slot].second, static_cast<GLenum>(GL_LIGHT0 + slot));
        EXPECT_TRUE(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + slot)));
    }
}

TEST_F(WorldTest, CulledAndHiddenLightsStillShine) {
    VELMORRA_REQUIRE_GL(gl);
    addAt<TestLight>("behind", -3.0f);
    addAt<TestLight>("hidden", 20.0f)->setVisible(false);
    world.render(&camera);
    EXPECT_TRUE(world.getCullResult(0)->culled || world.getCullResult(1)->culled);
    ASSERT_EQ(journal.lights.size(), 2u);
    EXPECT_EQ(journal.lights[0].first, "behind"); // |depth| 3.5 is nearer than 19.5
    EXPECT_EQ(journal.lights[1].first, "hidden");
    EXPECT_TRUE(journal.drawn.empty());
}

TEST_F(WorldTest, ObjectsWithoutElementsDrawOnlyTheBackground) {
    VELMORRA_REQUIRE_GL(gl);
    for (int light = 0; light < 8; ++light) {
        glEnable(static_cast<GLenum>(GL_LIGHT0 + light));
    }
    world.addObject(std::make_unique<Object>());
    world.setBackground(std::make_unique<TestBackground>(journal));
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"background"}));
    for (int light = 0; light < 8; ++light) {
        EXPECT_FALSE(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + light)));
    }
}

// The background sees only the camera's orientation, with depth testing off.
TEST_F(WorldTest, BackgroundIsDrawnAroundTheViewerWithoutDepth) {
    VELMORRA_REQUIRE_GL(gl);
    auto owned = std::make_unique<TestBackground>(journal);
    TestBackground* background = owned.get();
    world.setBackground(std::move(owned));
    camera.translateLocal(7.0f, 8.0f, 9.0f);
    world.render(&camera);
    EXPECT_FALSE(background->depthTestDuringRender);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    const std::array<GLfloat, 16> rotationOnly{-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(background->modelview[i], rotationOnly[i], 1e-6) << i;
    }
    EXPECT_EQ(world.getSceneState().currentCamera, &camera);
    // Afterwards the modelview holds the whole camera view.
    std::array<GLfloat, 16> view{};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    EXPECT_FLOAT_EQ(view[12], 7.0f);
    EXPECT_FLOAT_EQ(view[13], -8.0f);
    EXPECT_FLOAT_EQ(view[14], 9.0f);
}

TEST_F(WorldTest, ANewBackgroundReplacesTheOldOne) {
    VELMORRA_REQUIRE_GL(gl);
    world.setBackground(std::make_unique<TestBackground>(journal, "first"));
    world.setBackground(std::make_unique<TestBackground>(journal, "second"));
    EXPECT_EQ(journal.destroyed, (Names{"first"}));
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"second"}));
    world.setBackground(nullptr);
    EXPECT_EQ(journal.destroyed, (Names{"first", "second"}));
}

TEST_F(WorldTest, ClearEmptiesTheSceneForANewOne) {
    VELMORRA_REQUIRE_GL(gl);
    addAt<TestElement>("old", 5.0f);
    world.setBackground(std::make_unique<TestBackground>(journal, "old background"));
    world.clear();
    EXPECT_EQ(journal.destroyed, (Names{"old", "old background"}));
    EXPECT_EQ(world.getObjectCount(), 0);
    EXPECT_EQ(world.getElementCount(), 0);

    addAt<TestElement>("new", 5.0f);
    world.render(&camera);
    EXPECT_EQ(journal.drawn, (Names{"new"}));
}

TEST(WorldProjection, IsFourByThreeWhateverTheWindow) {
    test::GlTestContext gl(300, 500);
    VELMORRA_REQUIRE_GL(gl);
    World world;
    glMatrixMode(GL_PROJECTION);
    world.setPerspective(90.0f, 1.0f, 3.0f);
    EXPECT_EQ(test::integerState(GL_MATRIX_MODE), GL_MODELVIEW);
    std::array<GLfloat, 16> identity{};
    glGetFloatv(GL_MODELVIEW_MATRIX, identity.data());
    EXPECT_EQ(identity[0] + identity[5] + identity[10] + identity[15], 4.0f);
    std::array<GLfloat, 16> projection{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    // 90 degrees: cot(45) = 1 vertically, 1 / (4/3) horizontally.
    EXPECT_NEAR(projection[5], 1.0f, 1e-6);
    EXPECT_NEAR(projection[0], 0.75f, 1e-6);
    EXPECT_NEAR(projection[10], -2.0f, 1e-6); // (far + near) / (near - far)
    EXPECT_NEAR(projection[14], -3.0f, 1e-6); // 2 far near / (near - far)
    EXPECT_FLOAT_EQ(world.getSceneState().nearDistance, 1.0f);
}

void expectPlane(const World& world, int index, const FrustumPlane& expected) {
    const FrustumPlane& plane = world.getSceneState().frustumPlanes[static_cast<std::size_t>(index)];
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(plane[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(i)], 1e-5)
            << "plane " << index << " value " << i;
    }
}

// 90 degrees at 4:3, near 1, far 3: the side planes have slopes 3/4 and 1.
TEST(WorldFrustum, PlanesOfAKnownCamera) {
    test::GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    World world;
    world.setPerspective(90.0f, 1.0f, 3.0f);
    Camera camera;
    world.render(&camera);
    const float h = 0.70710678f;
    expectPlane(world, SceneState::rightPlane, {0.6f, 0.0f, 0.8f, 0.0f}); // camera's right is -x
    expectPlane(world, SceneState::leftPlane, {-0.6f, 0.0f, 0.8f, 0.0f});
    expectPlane(world, SceneState::bottomPlane, {0.0f, h, h, 0.0f});
    expectPlane(world, SceneState::topPlane, {0.0f, -h, h, 0.0f});
    expectPlane(world, SceneState::farPlane, {0.0f, 0.0f, -1.0f, 3.0f});
    expectPlane(world, SceneState::nearPlane, {0.0f, 0.0f, 1.0f, -1.0f});

    // Turned to look along +x from (2, 0, 0): right is now +z.
    camera.rotateLocalY(90.0f);
    camera.translateLocal(0.0f, 0.0f, 2.0f);
    world.render(&camera);
    expectPlane(world, SceneState::rightPlane, {0.8f, 0.0f, -0.6f, -1.6f});
    expectPlane(world, SceneState::leftPlane, {0.8f, 0.0f, 0.6f, -1.6f});
    expectPlane(world, SceneState::bottomPlane, {h, h, 0.0f, -2.0f * h});
    expectPlane(world, SceneState::farPlane, {-1.0f, 0.0f, 0.0f, 5.0f});
    expectPlane(world, SceneState::nearPlane, {1.0f, 0.0f, 0.0f, -3.0f});
}

} // namespace
} // namespace velmorra
