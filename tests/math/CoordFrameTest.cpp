#include "math/CoordFrame.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectAxes(const CoordFrame& frame, const Vector3& x, const Vector3& y, const Vector3& z,
                float tolerance = 1e-6f) {
    expectNear(frame.getXAxis(), x, tolerance);
    expectNear(frame.getYAxis(), y, tolerance);
    expectNear(frame.getZAxis(), z, tolerance);
}

constexpr std::array<float, 16> identityMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(CoordFrame, FreshAndResetFramesBuildTheIdentity) {
    CoordFrame frame;
    frame.buildMatrix();
    EXPECT_EQ(frame.getMatrix(), identityMatrix);

    frame.rotateLocalY(33);
    frame.translateLocal(1, 2, 3);
    frame.reset();
    frame.buildMatrix();
    EXPECT_EQ(frame.getMatrix(), identityMatrix);
}

TEST(CoordFrame, MatrixColumnsAreTheAxesAndTheOrigin) {
    CoordFrame frame;
    frame.rotateLocalZ(90);
    frame.translateLocal(4, 5, 6);
    frame.buildMatrix();
    const auto& m = frame.getMatrix();
    const Vector3 columns[4] = {frame.getXAxis(), frame.getYAxis(), frame.getZAxis(),
                                frame.getOrigin()};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(m[4 * c], columns[c].x);
        EXPECT_EQ(m[4 * c + 1], columns[c].y);
        EXPECT_EQ(m[4 * c + 2], columns[c].z);
        EXPECT_EQ(m[4 * c + 3], c == 3 ? 1.0f : 0.0f);
    }
}

TEST(CoordFrame, TranslationFollowsTheFramesOwnAxes) {
    CoordFrame frame;
    frame.translateLocal(1, 2, 3);
    EXPECT_EQ(frame.getOrigin(), Vector3(1, 2, 3));

    CoordFrame turned;
    turned.rotateLocalY(90);
    turned.translateLocal(1, 2, 3);
    expectNear(turned.getOrigin(), {3, 2, -1});
}

TEST(CoordFrame, QuarterTurnsAboutEachOwnAxis) {
    CoordFrame frame;
    frame.rotateLocalY(90);
    expectAxes(frame, {0, 0, -1}, {0, 1, 0}, {1, 0, 0});

    frame.reset();
    frame.rotateLocalX(90);
    expectAxes(frame, {1, 0, 0}, {0, 0, 1}, {0, -1, 0});

    frame.reset();
    frame.rotateLocalZ(90);
    expectAxes(frame, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
}

TEST(CoordFrame, TurnsLeaveTheOriginInPlace) {
    CoordFrame frame;
    frame.translateLocal(1, 2, 3);
    frame.rotateLocalX(40);
    frame.rotateLocalY(-70);
    frame.rotateLocalZ(15);
    EXPECT_EQ(frame.getOrigin(), Vector3(1, 2, 3));
}

TEST(CoordFrame, LaterTurnsAreAboutTheTurnedAxes) {
    CoordFrame frame;
    frame.rotateLocalY(90);
    frame.rotateLocalX(90);
    // The second turn is about the new x axis (0, 0, -1), not about the world's x axis.
    expectAxes(frame, {0, 0, -1}, {1, 0, 0}, {0, -1, 0});
}

TEST(CoordFrame, FourQuarterTurnsComeBack) {
    CoordFrame frame;
    for (int turn = 0; turn < 4; ++turn) {
        frame.rotateLocalY(90);
    }
    expectAxes(frame, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
}

TEST(CoordFrame, ManySmallTurnsDriftWithoutReorthonormalising) {
    CoordFrame frame;
    for (int turn = 0; turn < 360; ++turn) {
        frame.rotateLocalY(1);
    }
    expectAxes(frame, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 1e-4f);
    const Vector3 x = frame.getXAxis();
    const Vector3 z = frame.getZAxis();
    EXPECT_FALSE(x == Vector3(1, 0, 0) && z == Vector3(0, 0, 1));
}

TEST(CoordFrame, OrbitLooksAtTheWorldOrigin) {
    CoordFrame frame;
    frame.reset();
    frame.rotateLocalY(90);
    frame.translateLocal(0, 0, -5);
    expectNear(frame.getOrigin(), {-5, 0, 0}, 1e-5f);
    expectNear(frame.getZAxis(), {1, 0, 0});

    // A tilt between the turn and the step lifts the orbit; the frame still faces the origin.
    frame.reset();
    frame.rotateLocalY(30);
    frame.rotateLocalX(20);
    frame.translateLocal(0, 0, -5);
    EXPECT_NEAR(length(frame.getOrigin()), 5.0, 1e-5);
    expectNear(scaled(-0.2f, frame.getOrigin()), frame.getZAxis(), 1e-6f);
    EXPECT_GT(frame.getOrigin().y, 0.0f);
}

} // namespace
} // namespace velmorra
