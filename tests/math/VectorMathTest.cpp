#include "math/Matrix3.h"
#include "math/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmorra {
namespace {

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectEqual(const Matrix3& actual, const Matrix3& expected) {
    for (int e = 0; e < 9; ++e) {
        EXPECT_FLOAT_EQ(actual.m[e], expected.m[e]) << "element " << e;
    }
}

TEST(Vector3, CrossProductIsRightHanded) {
    EXPECT_EQ(cross({1, 0, 0}, {0, 1, 0}), Vector3(0, 0, 1));
    EXPECT_EQ(cross({0, 1, 0}, {0, 0, 1}), Vector3(1, 0, 0));
    EXPECT_EQ(cross({0, 0, 1}, {1, 0, 0}), Vector3(0, 1, 0));
    EXPECT_EQ(cross({2, 3, 4}, {5, 6, 7}), Vector3(3 * 7 - 4 * 6, 4 * 5 - 2 * 7, 2 * 6 - 3 * 5));
}

TEST(Vector3, LengthAndNormalisation) {
    EXPECT_EQ(length({3, 4, 0}), 5.0);
    EXPECT_EQ(length({0, 0, 0}), 0.0);
    expectNear(normalized({0, 3, 4}), {0, 0.6f, 0.8f});
    Vector3 v{-2, 0, 0};
    v.normalize();
    EXPECT_EQ(v, Vector3(-1, 0, 0));
}

TEST(Vector3, LengthSumsSquaresInDoublePrecision) {
    // (3, 4, 0) times 2^66: the squares overflow a float but not a double.
    const float scale = std::ldexp(1.0f, 66);
    EXPECT_EQ(length({3 * scale, 4 * scale, 0}), 5 * std::ldexp(1.0, 66));
    // 1 + 1e-8 is above 1 in double; a float sum would round it to 1.
    const double expected = std::sqrt(1.0 + 1e-4f * static_cast<double>(1e-4f));
    EXPECT_EQ(length({1, 1e-4f, 0}), expected);
    EXPECT_GT(length({1, 1e-4f, 0}), 1.0);
}

TEST(Vector3, PerpendicularPair) {
    Vector3 u;
    const Vector3 v = perpendicularPair({0, 0, 1}, u);
    const float root = 1.0f / std::sqrt(2.0f);
    expectNear(u, {root, root, 0});
    expectNear(v, {root, -root, 0});

    const Vector3 n{0.3f, -1.2f, 2.5f};
    const Vector3 w = perpendicularPair(n, u);
    EXPECT_NEAR(dot(u, n), 0.0f, 1e-6f);
    EXPECT_NEAR(dot(w, n), 0.0f, 1e-6f);
    EXPECT_NEAR(dot(u, w), 0.0f, 1e-6f);
    EXPECT_NEAR(length(u), 1.0, 1e-6);
    EXPECT_NEAR(length(w), length(n), 1e-5);
}

TEST(Matrix3, IdentityAndColumns) {
    const Vector3 a{1, 2, 3};
    const Vector3 b{4, 5, 6};
    const Vector3 c{7, 8, 9};
    const Matrix3 m = Matrix3::fromColumns(a, b, c);
    EXPECT_EQ(transform(m, {1, 0, 0}), a);
    EXPECT_EQ(transform(m, {0, 1, 0}), b);
    EXPECT_EQ(transform(m, {0, 0, 1}), c);
    EXPECT_EQ(m(0, 1), 4.0f);
    EXPECT_EQ(m(2, 0), 3.0f);
    expectEqual(multiply(Matrix3::identity(), m), m);
    expectEqual(multiply(m, Matrix3::identity()), m);
    EXPECT_EQ(transform(Matrix3::identity(), a), a);
}

TEST(Matrix3, ProductAppliesRightFactorFirst) {
    const Matrix3 a = Matrix3::fromColumns({1, 2, 0}, {0, 1, 3}, {2, 0, 1});
    const Matrix3 b = Matrix3::rotationY(30);
    const Vector3 v{0.5f, -1.5f, 2.0f};
    expectNear(transform(multiply(a, b), v), transform(a, transform(b, v)), 1e-5f);
    // Worked by hand: the rows of a are (1, 0, 2), (2, 1, 0), (0, 3, 1); column 0 of c is all ones.
    const Matrix3 c = Matrix3::fromColumns({1, 1, 1}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(multiply(a, c)(0, 0), 3.0f);
    EXPECT_EQ(multiply(a, c)(1, 0), 3.0f);
    EXPECT_EQ(multiply(a, c)(2, 0), 4.0f);
}

TEST(Matrix3, RotationsTurnCounterClockwiseSeenFromThePositiveAxis) {
    expectNear(transform(Matrix3::rotationZ(90), {1, 0, 0}), {0, 1, 0});
    expectNear(transform(Matrix3::rotationX(90), {0, 1, 0}), {0, 0, 1});
    expectNear(transform(Matrix3::rotationY(90), {0, 0, 1}), {1, 0, 0});
    expectNear(transform(Matrix3::rotationZ(-90), {1, 0, 0}), {0, -1, 0});
    expectNear(transform(Matrix3::rotationX(180), {0, 1, 0}), {0, -1, 0});
    const float half = std::sqrt(0.5f);
    expectNear(transform(Matrix3::rotationY(45), {1, 0, 0}), {half, 0, -half});
}

TEST(Matrix3, AngleIsRoundedToFloatBeforeTheDoubleSineAndCosine) {
    // 90 degrees rounds to the float 1.57079637..., a little above pi/2; its cosine, taken in
    // double, is -4.371139e-8. In double radians it would be 6.1e-17.
    const Matrix3 r = Matrix3::rotationZ(90);
    EXPECT_EQ(r.m[0], -4.37113883e-08f);
    EXPECT_EQ(r.m[3], 1.0f);
    EXPECT_EQ(Matrix3::rotationX(90).m[4], -4.37113883e-08f);
    // 180 degrees: the float angle lies below pi by 8.74e-8, and that is the sine left over.
    EXPECT_EQ(Matrix3::rotationY(180).m[2], static_cast<float>(std::sin(3.14159274101257324)));
    EXPECT_EQ(Matrix3::rotationY(180).m[0], -1.0f);
}

} // namespace
} // namespace velmorra
