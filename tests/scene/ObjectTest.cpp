#include "scene/Object.h"
#include "scene/SceneState.h"
#include "scene/TestElements.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmorra {
namespace {

using test::Journal;
using test::TestElement;

// Six planes that keep everything but what lies beyond the first: x >= 0 is
// inside, the near plane (last) measures z, the rest are far away.
SceneState planesWith(const FrustumPlane& first) {
    SceneState state;
    state.frustumPlanes = {first,
              FrustumPlane{-1, 0, 0, 1000},
              FrustumPlane{0, 1, 0, 1000},
              FrustumPlane{0, -1, 0, 1000},
              FrustumPlane{0, 0, -1, 1000},
              FrustumPlane{0, 0, 1, 0}};
    return state;
}

struct ObjectWith {
    Journal journal;
    Object object;
    TestElement* element;

    explicit ObjectWith(float radius) {
        auto owned = std::make_unique<TestElement>("e", journal, radius);
        element = owned.get();
        object.addElement(std::move(owned));
        object.updateTransform();
    }
};

TEST(Object, GetElementAnswersNullOutsideItsRange) {
    Journal journal;
    Object object;
    EXPECT_EQ(object.getElement(0), nullptr);
    object.addElement(std::make_unique<TestElement>("a", journal));
    object.addElement(std::make_unique<TestElement>("b", journal));
    object.addElement(nullptr);
    ASSERT_EQ(object.getElementCount(), 2);
    EXPECT_EQ(object.getElement(-1), nullptr);
    EXPECT_EQ(object.getElement(object.getElementCount()), nullptr);
    EXPECT_EQ(static_cast<TestElement*>(object.getElement(1))->name, "b");
}

TEST(Object, DestroysItsElementsInOrder) {
    Journal journal;
    {
        Object object;
        object.addElement(std::make_unique<TestElement>("a", journal));
        object.addElement(std::make_unique<TestElement>("b", journal));
    }
    EXPECT_EQ(journal.destroyed, (std::vector<std::string>{"a", "b"}));
}

TEST(Object, SetVisibleReachesEveryElement) {
    Journal journal;
    Object object;
    object.addElement(std::make_unique<TestElement>("a", journal));
    object.addElement(std::make_unique<TestElement>("b", journal));
    object.setVisible(false);
    EXPECT_FALSE(object.getElement(0)->isVisible());
    EXPECT_FALSE(object.getElement(1)->isVisible());
    object.getElement(1)->setVisible(true);
    EXPECT_TRUE(object.getElement(1)->isVisible());
}

TEST(Object, UpdateTransformCopiesTheFrame) {
    Object object;
    EXPECT_EQ(object.getTransform().worldPosition, Vector3(0, 0, 0));
    object.getFrame()->rotateLocalZ(90.0f);
    object.getFrame()->translateLocal(1.0f, 2.0f, 3.0f);
    // Nothing moves until the next refresh.
    EXPECT_EQ(object.getTransform().worldPosition, Vector3(0, 0, 0));
    object.updateTransform();
    const ObjectTransform& transform = object.getTransform();
    EXPECT_NEAR(transform.worldPosition.x, -2.0f, 1e-6);
    EXPECT_NEAR(transform.worldPosition.y, 1.0f, 1e-6);
    EXPECT_NEAR(transform.worldPosition.z, 3.0f, 1e-6);
    EXPECT_EQ(transform.matrix, object.getFrame()->getMatrix());
    EXPECT_NEAR(transform.matrix[1], 1.0f, 1e-6); // the x axis now points along y
    EXPECT_EQ(transform.matrix[15], 1.0f);
}

TEST(ElementCull, SphereTouchingAPlaneFromOutsideIsCulled) {
    ObjectWith scene(2.0f);
    const SceneState planes = planesWith({1, 0, 0, 0});
    scene.element->setPosition(-2.0f, 0.0f, 0.0f);
    EXPECT_TRUE(scene.element->cullTest(planes).culled);
    scene.element->setPosition(-1.999f, 0.0f, 0.0f);
    EXPECT_FALSE(scene.element->cullTest(planes).culled);
    scene.element->setPosition(5.0f, 0.0f, 0.0f);
    EXPECT_FALSE(scene.element->cullTest(planes).culled);
}

TEST(ElementCull, PointOnAPlaneIsCulled) {
    ObjectWith scene(0.0f);
    const SceneState planes = planesWith({1, 0, 0, 0});
    scene.element->setPosition(0.0f, 3.0f, 3.0f);
    EXPECT_TRUE(scene.element->cullTest(planes).culled);
    scene.element->setPosition(0.001f, 3.0f, 3.0f);
    EXPECT_FALSE(scene.element->cullTest(planes).culled);
}

TEST(ElementCull, EveryPlaneCountsAndTheDepthComesFromTheNearPlane) {
    ObjectWith scene(1.0f);
    const SceneState planes = planesWith({1, 0, 0, 0});
    scene.element->setPosition(-5.0f, 0.0f, 7.0f);
    const CullResult outside = scene.element->sphereTest(planes);
    EXPECT_TRUE(outside.culled);
    EXPECT_FLOAT_EQ(outside.depth, 7.0f);
    EXPECT_FLOAT_EQ(scene.element->cullTest(planes).depth, 8.0f); // a mesh adds its radius

    // Beyond the far plane (z = 1000) only.
    scene.element->setPosition(5.0f, 0.0f, 1002.0f);
    EXPECT_TRUE(scene.element->cullTest(planes).culled);
}

// The position turns with the object, the center does not:
// p = R * position + center + origin.
TEST(ElementCull, PositionIsRotatedCenterIsNot) {
    ObjectWith scene(0.5f);
    const SceneState planes = planesWith({1, 0, 0, 0});
    scene.object.getFrame()->rotateLocalY(90.0f); // x axis -> (0, 0, -1), z axis -> (1, 0, 0)
    scene.object.getFrame()->translateLocal(0.0f, 0.0f, 10.0f); // origin (10, 0, 0)
    scene.object.updateTransform();
    scene.element->setPosition(1.0f, 0.0f, 2.0f); // rotated: (2, 0, -1)
    scene.element->setCenter(0.0f, 0.0f, 4.0f);
    const CullResult result = scene.element->sphereTest(planes);
    EXPECT_FALSE(result.culled);
    EXPECT_NEAR(result.depth, -1.0f + 4.0f, 1e-5); // z of p

    // Pushed to x = -0.5 by the center: the sphere just touches x = 0.
    scene.element->setCenter(-12.5f, 0.0f, 0.0f);
    EXPECT_TRUE(scene.element->sphereTest(planes).culled);
}

TEST(ElementCull, UnplacedElementIsCulled) {
    Journal journal;
    TestElement loose("loose", journal);
    const SceneState planes = planesWith({1, 0, 0, 0});
    EXPECT_TRUE(loose.sphereTest(planes).culled);
}

} // namespace
} // namespace velmorra
