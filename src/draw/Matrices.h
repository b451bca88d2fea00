#pragma once

#include <array>

namespace velmorra::draw {

// Column-major, as the stacks hold them.
using Matrix = std::array<float, 16>;

enum class MatrixStack { modelview, projection, texture };

// The stack the calls below act on.
void matrixMode(MatrixStack stack);
void loadIdentity();
void pushMatrix();
void popMatrix();
void loadMatrix(const float* columnMajor);
void multiplyMatrix(const float* columnMajor);
void translate(float x, float y, float z);
void ortho(double left, double right, double bottom, double top, double near, double far);
// The viewer at eye looking at centre, with up pointing up the screen.
void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ);
// The matrix on top of a stack.
Matrix currentMatrix(MatrixStack stack);

} // namespace velmorra::draw
