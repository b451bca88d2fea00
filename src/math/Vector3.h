#pragma once

#include <cmath>
#include <type_traits>

namespace velmorra {

// Three packed floats: arrays of Vector3 are handed to OpenGL as float triples, so the type must
// carry nothing but x, y and z.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    constexpr void set(float xValue, float yValue, float zValue) {
        x = xValue;
        y = yValue;
        z = zValue;
    }

    constexpr void add(const Vector3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
    }

    void normalize();

    friend constexpr bool operator==(const Vector3&, const Vector3&) = default;
};

static_assert(sizeof(Vector3) == 3 * sizeof(float));
static_assert(std::is_standard_layout_v<Vector3> && std::is_trivially_copyable_v<Vector3>);

constexpr Vector3 sum(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

constexpr Vector3 difference(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

constexpr Vector3 scaled(float s, const Vector3& v) {
    return {s * v.x, s * v.y, s * v.z};
}

constexpr float dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

constexpr Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The squares are summed in double so that lengths of large vectors keep their precision.
inline double length(const Vector3& v) {
    const double x = v.x;
    const double y = v.y;
    const double z = v.z;
    return std::sqrt(std::fabs(x * x + y * y + z * z));
}

inline Vector3 normalized(const Vector3& v) {
    const auto l = static_cast<float>(length(v));
    return {v.x / l, v.y / l, v.z / l};
}

inline void Vector3::normalize() {
    *this = normalized(*this);
}

// Returns v and writes u so that u, v and n are mutually perpendicular; u has unit length and v
// has the length of n. Needs n.z != 0.
inline Vector3 perpendicularPair(const Vector3& n, Vector3& u) {
    u.set(1.0f, 1.0f, -(n.x + n.y) / n.z);
    u.normalize();
    return cross(u, n);
}

} // namespace velmorra
