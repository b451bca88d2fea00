#include "math/Camera.h"

#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

namespace velmorra {
namespace {

using GlMatrix = std::array<float, 16>;

GlMatrix modelviewAfter(void (*apply)(Camera&), Camera& camera) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    apply(camera);
    GlMatrix matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

GlMatrix lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    GlMatrix matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

void applyView(Camera& camera) {
    camera.applyView();
}

void applyRotationOnly(Camera& camera) {
    camera.applyRotationOnly();
}

void expectNear(const GlMatrix& actual, const GlMatrix& expected) {
    for (int e = 0; e < 16; ++e) {
        EXPECT_NEAR(actual[e], expected[e], 1e-5f) << "element " << e;
    }
}

class CameraTest : public ::testing::Test {
  protected:
    test::GlTestContext context;
};

TEST_F(CameraTest, FreshCameraLooksAlongPositiveZ) {
    VELMORRA_REQUIRE_GL(context);
    Camera camera;
    const GlMatrix view = modelviewAfter(applyView, camera);
    expectNear(view, lookAt({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
    // Looking along +z with y up, the camera's right is the world's -x.
    EXPECT_NEAR(view[0], -1.0f, 1e-6f);
    EXPECT_NEAR(view[10], -1.0f, 1e-6f);
}

TEST_F(CameraTest, ViewPlacesTheWorldOriginInFrontOfAnOrbitingCamera) {
    VELMORRA_REQUIRE_GL(context);
    Camera camera;
    camera.rotateLocalY(90);
    camera.translateLocal(0, 0, -5);
    const GlMatrix view = modelviewAfter(applyView, camera);
    expectNear(view, lookAt({-5, 0, 0}, {-4, 0, 0}, {0, 1, 0}));
    // The world origin lies 5 units ahead: eye space z = -5.
    EXPECT_NEAR(view[14], -5.0f, 1e-5f);
    EXPECT_NEAR(view[12], 0.0f, 1e-5f);
    EXPECT_NEAR(view[13], 0.0f, 1e-5f);
}

TEST_F(CameraTest, ViewBuildsTheFrameMatrix) {
    VELMORRA_REQUIRE_GL(context);
    Camera camera;
    camera.translateLocal(1, 2, 3);
    modelviewAfter(applyView, camera);
    EXPECT_EQ(camera.getMatrix()[12], 1.0f);
    EXPECT_EQ(camera.getMatrix()[14], 3.0f);
}

TEST_F(CameraTest, RotationOnlyIgnoresThePosition) {
    VELMORRA_REQUIRE_GL(context);
    Camera camera;
    camera.translateLocal(7, 8, 9);
    expectNear(modelviewAfter(applyRotationOnly, camera), lookAt({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));

    camera.rotateLocalX(30);
    const GlMatrix turned = modelviewAfter(applyRotationOnly, camera);
    expectNear(turned, lookAt({0, 0, 0}, camera.getZAxis(), camera.getYAxis()));
    EXPECT_NEAR(turned[12], 0.0f, 1e-6f);
    EXPECT_NEAR(turned[13], 0.0f, 1e-6f);
    EXPECT_NEAR(turned[14], 0.0f, 1e-6f);
}

} // namespace
} // namespace velmorra
