#pragma once

#include "math/CoordFrame.h"

namespace velmorra {

// The viewpoint: a frame that looks along its own z axis with its y axis up. Both view
// operations expect the modelview matrix to be selected and set to the identity.
class Camera : public CoordFrame {
  public:
    void applyView();
    // Orientation without position, for backgrounds that must never come nearer.
    void applyRotationOnly() const;
};

} // namespace velmorra
