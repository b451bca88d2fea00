#pragma once

namespace velmorra {

// An RGBA colour, components from 0 to 1; white and opaque until set.
class Color {
  public:
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;

    void set(float red, float green, float blue, float alpha);
};

} // namespace velmorra
