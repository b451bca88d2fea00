#pragma once

#include "math/Vector3.h"

#include <array>
#include <cmath>

namespace velmorra {

// Row-major 3x3 matrix acting on column vectors: element (r, c) is m[3r + c].
struct Matrix3 {
    std::array<float, 9> m;

    static constexpr Matrix3 identity() { return {{1, 0, 0, 0, 1, 0, 0, 0, 1}}; }

    static constexpr Matrix3 fromColumns(const Vector3& a, const Vector3& b, const Vector3& c) {
        return {{a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z}};
    }

    static Matrix3 rotationX(float degrees);
    static Matrix3 rotationY(float degrees);
    static Matrix3 rotationZ(float degrees);

    constexpr float operator()(int row, int column) const { return m[3 * row + column]; }

  private:
    struct SineCosine {
        float sine;
        float cosine;
    };
    static SineCosine ofDegrees(float degrees);
};

// The angle is rounded to float in radians before the double-precision sine and cosine are
// taken, which is why rotationZ(90) keeps a cosine of about -4.4e-8 rather than 0.
inline Matrix3::SineCosine Matrix3::ofDegrees(float degrees) {
    const auto radians = static_cast<float>(degrees * 6.283185307179586 * (1.0 / 360.0));
    return {static_cast<float>(std::sin(static_cast<double>(radians))),
            static_cast<float>(std::cos(static_cast<double>(radians)))};
}

inline Matrix3 Matrix3::rotationX(float degrees) {
    const auto [s, c] = ofDegrees(degrees);
    return {{1, 0, 0, 0, c, -s, 0, s, c}};
}

inline Matrix3 Matrix3::rotationY(float degrees) {
    const auto [s, c] = ofDegrees(degrees);
    return {{c, 0, s, 0, 1, 0, -s, 0, c}};
}

inline Matrix3 Matrix3::rotationZ(float degrees) {
    const auto [s, c] = ofDegrees(degrees);
    return {{c, -s, 0, s, c, 0, 0, 0, 1}};
}

constexpr Vector3 transform(const Matrix3& a, const Vector3& v) {
    return {a.m[0] * v.x + a.m[1] * v.y + a.m[2] * v.z, a.m[3] * v.x + a.m[4] * v.y + a.m[5] * v.z,
            a.m[6] * v.x + a.m[7] * v.y + a.m[8] * v.z};
}

constexpr Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 product{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            product.m[3 * r + c] = a(r, 0) * b(0, c) + a(r, 1) * b(1, c) + a(r, 2) * b(2, c);
        }
    }
    return product;
}

} // namespace velmorra
