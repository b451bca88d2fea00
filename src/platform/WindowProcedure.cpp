#include "platform/WindowProcedure.h"

#include "platform/MessageQueue.h"

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

void handleKey(const Message& message, Keyboard& keyboard) {
    if (message.escape) {
        postQuitMessage(0);
        return;
    }
    const int slot = keySlot(message);
    if (slot >= 0) {
        keyboard.setKey(slot, message.kind == Message::Kind::KeyDown);
    }
}

} // namespace

void windowProcedure(const Message& message, Keyboard& keyboard) {
    switch (message.kind) {
    case Message::Kind::CloseRequest:
        postQuitMessage(0);
        break;
    case Message::Kind::KeyDown:
    case Message::Kind::KeyUp:
        handleKey(message, keyboard);
        break;
    case Message::Kind::Quit:
    case Message::Kind::Other:
        break;
    }
}

} // namespace velmorra
