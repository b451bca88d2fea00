#pragma once

#include "draw/Matrices.h"

#include <array>
#include <vector>

namespace velmorra::draw {

// The modelview, projection and texture stacks kept on the processor, with the transforms that
// OpenGL 1.1 and GLU make on them (column-major, computed in double as the fixed pipeline's
// reference does, stored in float as GL keeps them).
class MatrixStacks {
  public:
    MatrixStacks();

    void select(MatrixStack stack);
    MatrixStack selected() const;

    void loadIdentity();
    void push();
    // Popping the last matrix of a stack leaves it as it is.
    void pop();
    void load(const Matrix& matrix);
    void multiply(const Matrix& matrix);
    void translate(double x, double y, double z);
    void ortho(double left, double right, double bottom, double top, double near, double far);
    void perspective(double fieldOfViewDegrees, double aspect, double near, double far);
    void lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre,
                const std::array<double, 3>& up);

    const Matrix& top(MatrixStack stack) const;

    static Matrix identity();
    static Matrix product(const Matrix& left, const Matrix& right);
    // The inverse transpose of the upper 3x3 (how normals go to eye space), column-major.
    static std::array<float, 9> normalMatrix(const Matrix& modelview);
    static std::array<float, 4> transform(const Matrix& matrix, const std::array<float, 4>& v);
    // Whether a triangle's corners run counter-clockwise on the screen, as front faces do.
    static bool facesFront(const Matrix& clipFromObject, const std::array<float, 3>& a,
                           const std::array<float, 3>& b, const std::array<float, 3>& c);

  private:
    std::vector<Matrix>& stack(MatrixStack which);
    const std::vector<Matrix>& stack(MatrixStack which) const;

    std::array<std::vector<Matrix>, 3> stacks;
    MatrixStack current = MatrixStack::modelview;
};

} // namespace velmorra::draw
