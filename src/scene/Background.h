#pragma once

namespace velmorra {

// Whatever the World draws first, behind everything else, with depth testing
// off and a view that turns with the camera but never moves with it.
class Background {
  public:
    Background() = default;
    virtual ~Background() = default;
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // Frees the background's OpenGL resources.
    virtual void release() = 0;
    virtual void render() = 0;
    // A per-frame hook with a status result; nothing calls it yet.
    virtual int update() = 0;
};

} // namespace velmorra
