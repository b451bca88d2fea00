#pragma once

#include <array>

namespace velmorra {

// Down and pressed state of 76 key slots. Pressed is set when a key goes down
// while up and is never cleared.
class Keyboard {
  public:
    static constexpr int slotCount = 76;

    void setKey(int slot, bool isDown);
    bool isDown(int slot) const;
    bool wasPressed(int slot) const;

  private:
    std::array<bool, slotCount> down{};
    std::array<bool, slotCount> pressed{};
};

// The program's key table, which the window procedure records into for the whole run.
Keyboard& keyboard();

} // namespace velmorra
