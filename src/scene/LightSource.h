#pragma once

namespace velmorra {

// What the World needs of an element of the light type: whether it shines, and
// to set itself up as one of the eight GL lights.
class LightSource {
  public:
    virtual ~LightSource() = default;
    virtual bool isEnabled() const = 0;
    // slot is the light's number, 0 ... 7.
    virtual void apply(int slot) = 0;
};

} // namespace velmorra
