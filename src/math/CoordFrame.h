#pragma once

#include "math/Matrix3.h"
#include "math/Vector3.h"

#include <array>

namespace velmorra {

// Origin and axes of something placed in its parent space, plus the column-major OpenGL matrix
// built from them. Turns are about the frame's own axes and leave the origin in place; nothing
// re-orthonormalises the axes, so callers that turn a little every frame reset first.
class CoordFrame {
  public:
    void reset();
    void translateLocal(float a, float b, float c);
    void rotateLocalX(float degrees);
    void rotateLocalY(float degrees);
    void rotateLocalZ(float degrees);
    void buildMatrix();

    Vector3 getOrigin() const { return origin; }
    Vector3 getXAxis() const { return xAxis; }
    Vector3 getYAxis() const { return yAxis; }
    Vector3 getZAxis() const { return zAxis; }
    // Valid after the first buildMatrix; reflects the frame as it was then.
    const std::array<float, 16>& getMatrix() const { return matrix; }

  private:
    void rotateLocal(const Matrix3& rotation);

    Vector3 origin{0, 0, 0};
    Vector3 xAxis{1, 0, 0};
    Vector3 yAxis{0, 1, 0};
    Vector3 zAxis{0, 0, 1};
    std::array<float, 16> matrix{};
};

} // namespace velmorra
