#include "platform/WindowProcedure.h"

namespace velmorra {

int keySlot(const Message& message) {
    if (message.namedSlot >= 0) {
        return message.namedSlot;
    }
    if (message.scanCode > 0 && message.scanCode < Keyboard::slotCount) {
        return message.scanCode;
    }
    return -1;
}

namespace {

void handleKey(const Message& message, Keyboard& keyboard, MessageQueue& queue) {
    if (message.escape) {
        queue.postQuit(0);
        return;
    }
    const int slot = keySlot(message);
    if (slot >= 0) {
        keyboard.setKey(slot, message.kind == Message::Kind::KeyDown);
    }
}

} // namespace

void windowProcedure(const Message& message, Keyboard& keyboard, MessageQueue& queue) {
    switch (message.kind) {
    case Message::Kind::CloseRequest:
        queue.postQuit(0);
        break;
    case Message::Kind::KeyDown:
    case Message::Kind::KeyUp:
        handleKey(message, keyboard, queue);
        break;
    case Message::Kind::Quit:
    case Message::Kind::Other:
        break;
    }
}

} // namespace velmorra
