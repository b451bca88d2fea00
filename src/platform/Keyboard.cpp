#include "platform/Keyboard.h"

namespace velmorra {

namespace {

bool isSlot(int slot) {
    return slot >= 0 && slot < Keyboard::slotCount;
}

} // namespace

void Keyboard::setKey(int slot, bool isDown) {
    if (!isSlot(slot)) {
        return;
    }
    if (isDown && !down[slot]) {
        pressed[slot] = true;
    }
    down[slot] = isDown;
}

bool Keyboard::isDown(int slot) const {
    return isSlot(slot) && down[slot];
}

bool Keyboard::wasPressed(int slot) const {
    return isSlot(slot) && pressed[slot];
}

Keyboard& keyboard() {
    static Keyboard table;
    return table;
}

} // namespace velmorra
