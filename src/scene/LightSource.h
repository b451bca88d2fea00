#pragma once

#include <GL/gl.h>

namespace velmorra {

// What the World needs of an element of the light type: whether it shines, and
// to set itself up as one of the eight GL lights.
class LightSource {
  public:
    virtual ~LightSource() = default;
    virtual bool isEnabled() const = 0;
    // light is GL_LIGHT0 ... GL_LIGHT7.
    virtual void apply(GLenum light) = 0;
};

} // namespace velmorra
