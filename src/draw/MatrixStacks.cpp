#include "draw/MatrixStacks.h"

#include <cmath>
#include <numbers>

namespace velmorra::draw {

namespace {

using DoubleMatrix = std::array<double, 16>;

Matrix toFloat(const DoubleMatrix& m) {
    Matrix result{};
    for (std::size_t i = 0; i < 16; ++i) {
        result[i] = static_cast<float>(m[i]);
    }
    return result;
}

std::array<double, 3> normalized(const std::array<double, 3>& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) {
        return v;
    }
    return {v[0] / length, v[1] / length, v[2] / length};
}

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

} // namespace

MatrixStacks::MatrixStacks() {
    for (std::vector<Matrix>& each : stacks) {
        each.assign(1, identity());
    }
}

void MatrixStacks::select(MatrixStack stack) {
    current = stack;
}

MatrixStack MatrixStacks::selected() const {
    return current;
}

void MatrixStacks::loadIdentity() {
    stack(current).back() = identity();
}

void MatrixStacks::push() {
    std::vector<Matrix>& s = stack(current);
    s.push_back(s.back());
}

void MatrixStacks::pop() {
    std::vector<Matrix>& s = stack(current);
    if (s.size() > 1) {
        s.pop_back();
    }
}

void MatrixStacks::load(const Matrix& matrix) {
    stack(current).back() = matrix;
}

void MatrixStacks::multiply(const Matrix& matrix) {
    Matrix& top = stack(current).back();
    top = product(top, matrix);
}

void MatrixStacks::translate(double x, double y, double z) {
    Matrix m = identity();
    m[12] = static_cast<float>(x);
    m[13] = static_cast<float>(y);
    m[14] = static_cast<float>(z);
    multiply(m);
}

void MatrixStacks::ortho(double left, double right, double bottom, double top, double near,
                         double far) {
    DoubleMatrix m{};
    m[0] = 2.0 / (right - left);
    m[5] = 2.0 / (top - bottom);
    m[10] = -2.0 / (far - near);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -(far + near) / (far - near);
    m[15] = 1.0;
    multiply(toFloat(m));
}

void MatrixStacks::perspective(double fieldOfViewDegrees, double aspect, double near, double far) {
    const double halfAngle = fieldOfViewDegrees / 2.0 * std::numbers::pi / 180.0;
    const double depth = far - near;
    const double sine = std::sin(halfAngle);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) {
        return;
    }
    const double cotangent = std::cos(halfAngle) / sine;
    DoubleMatrix m{};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(far + near) / depth;
    m[11] = -1.0;
    m[14] = -2.0 * near * far / depth;
    multiply(toFloat(m));
}

void MatrixStacks::lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre,
                          const std::array<double, 3>& up) {
    const std::array<double, 3> forward =
        normalized({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const std::array<double, 3> side = normalized(cross(forward, up));
    const std::array<double, 3> upward = cross(side, forward);
    DoubleMatrix m{};
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = side[i];
        m[i * 4 + 1] = upward[i];
        m[i * 4 + 2] = -forward[i];
    }
    m[15] = 1.0;
    multiply(toFloat(m));
    translate(-eye[0], -eye[1], -eye[2]);
}

const Matrix& MatrixStacks::top(MatrixStack which) const {
    return stack(which).back();
}

Matrix MatrixStacks::identity() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return m;
}

Matrix MatrixStacks::product(const Matrix& left, const Matrix& right) {
    Matrix result{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += left[k * 4 + row] * right[column * 4 + k];
            }
            result[column * 4 + row] = sum;
        }
    }
    return result;
}

std::array<float, 9> MatrixStacks::normalMatrix(const Matrix& m) {
    const double a = m[0], b = m[4], c = m[8];
    const double d = m[1], e = m[5], f = m[9];
    const double g = m[2], h = m[6], i = m[10];
    const double determinant = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (determinant == 0.0) {
        return {};
    }
    const double s = 1.0 / determinant;
    // The inverse's transpose, written column-major: column j holds row j of the inverse.
    return {static_cast<float>((e * i - f * h) * s), static_cast<float>((c * h - b * i) * s),
            static_cast<float>((b * f - c * e) * s), static_cast<float>((f * g - d * i) * s),
            static_cast<float>((a * i - c * g) * s), static_cast<float>((c * d - a * f) * s),
            static_cast<float>((d * h - e * g) * s), static_cast<float>((b * g - a * h) * s),
            static_cast<float>((a * e - b * d) * s)};
}

std::array<float, 4> MatrixStacks::transform(const Matrix& m, const std::array<float, 4>& v) {
    std::array<float, 4> result{};
    for (int row = 0; row < 4; ++row) {
        result[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
    return result;
}

bool MatrixStacks::facesFront(const Matrix& clipFromObject, const std::array<float, 3>& a,
                              const std::array<float, 3>& b, const std::array<float, 3>& c) {
    std::array<std::array<float, 2>, 3> screen{};
    const std::array<const std::array<float, 3>*, 3> corners = {&a, &b, &c};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::array<float, 3>& p = *corners[i];
        const std::array<float, 4> clip = transform(clipFromObject, {p[0], p[1], p[2], 1.0f});
        const float w = clip[3] != 0.0f ? clip[3] : 1.0f;
        screen[i] = {clip[0] / w, clip[1] / w};
    }
    const float area = (screen[1][0] - screen[0][0]) * (screen[2][1] - screen[0][1]) -
                       (screen[2][0] - screen[0][0]) * (screen[1][1] - screen[0][1]);
    return area > 0.0f;
}

std::vector<Matrix>& MatrixStacks::stack(MatrixStack which) {
    return stacks[static_cast<std::size_t>(which)];
}

const std::vector<Matrix>& MatrixStacks::stack(MatrixStack which) const {
    return stacks[static_cast<std::size_t>(which)];
}

} // namespace velmorra::draw
