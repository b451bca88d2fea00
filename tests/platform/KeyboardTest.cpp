#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "platform/WindowEvents.h"
#include "platform/WindowProcedure.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace velmorra {
namespace {

Message key(Message::Kind kind, int namedSlot, int scanCode, bool escape = false) {
    Message message;
    message.kind = kind;
    message.namedSlot = namedSlot;
    message.scanCode = scanCode;
    message.escape = escape;
    return message;
}

// SDL's event queue for the window's events, and the queue the window procedure posts quit to.
class EventQueue : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    // Drains the posted messages; the exit code of the first quit message, or -1.
    int takeQuit() {
        int exitCode = -1;
        Message message;
        while (queue.take(message)) {
            if (message.kind == Message::Kind::Quit && exitCode == -1) {
                exitCode = message.exitCode;
            }
        }
        return exitCode;
    }

    static void pushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode) {
        SDL_Event event{};
        event.type = type;
        event.key.type = type;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }

    Keyboard keyboard;
    MessageQueue queue;
};

TEST(Keyboard, HeldArrowKeySetsPressedOnceAndReleaseKeepsIt) {
    Keyboard keyboard;
    MessageQueue queue;
    windowProcedure(key(Message::Kind::KeyDown, 60, 72), keyboard, queue);
    EXPECT_TRUE(keyboard.isDown(60));
    EXPECT_TRUE(keyboard.wasPressed(60));
    windowProcedure(key(Message::Kind::KeyDown, 60, 72), keyboard, queue);
    EXPECT_TRUE(keyboard.isDown(60));
    windowProcedure(key(Message::Kind::KeyUp, 60, 72), keyboard, queue);
    EXPECT_FALSE(keyboard.isDown(60));
    EXPECT_TRUE(keyboard.wasPressed(60));
    EXPECT_FALSE(keyboard.isDown(72)) << "a named key records in its named slot only";
}

TEST(Keyboard, ScanCodesOfSeventySixAndAboveAreNotRecorded) {
    Keyboard keyboard;
    MessageQueue queue;
    windowProcedure(key(Message::Kind::KeyDown, -1, 80), keyboard, queue);
    windowProcedure(key(Message::Kind::KeyDown, -1, 76), keyboard, queue);
    for (int slot = 0; slot < Keyboard::slotCount; ++slot) {
        EXPECT_FALSE(keyboard.wasPressed(slot)) << slot;
    }
    windowProcedure(key(Message::Kind::KeyDown, -1, 75), keyboard, queue);
    EXPECT_TRUE(keyboard.isDown(75));
    EXPECT_FALSE(keyboard.isDown(-1));
    EXPECT_FALSE(keyboard.isDown(76));
}

TEST_F(EventQueue, EscapePostsQuitOnDownAndUpAndRecordsNothing) {
    windowProcedure(key(Message::Kind::KeyDown, -1, 1, true), keyboard, queue);
    EXPECT_EQ(takeQuit(), 0);
    windowProcedure(key(Message::Kind::KeyUp, -1, 1, true), keyboard, queue);
    EXPECT_EQ(takeQuit(), 0);
    EXPECT_FALSE(keyboard.wasPressed(1));
}

TEST_F(EventQueue, CloseRequestPostsQuitAndOtherMessagesDoNothing) {
    windowProcedure(key(Message::Kind::Other, -1, 0), keyboard, queue);
    EXPECT_EQ(takeQuit(), -1);
    Message close;
    close.kind = Message::Kind::CloseRequest;
    windowProcedure(close, keyboard, queue);
    EXPECT_EQ(takeQuit(), 0);
}

TEST_F(EventQueue, QuitMessageCarriesItsExitCode) {
    queue.postQuit(42);
    EXPECT_EQ(takeQuit(), 42);
}

TEST_F(EventQueue, KeyEventsTranslateToNamedSlotsAndPcScanCodes) {
    pushKey(SDL_KEYDOWN, SDLK_F8, SDL_SCANCODE_F8);
    pushKey(SDL_KEYDOWN, SDLK_HOME, SDL_SCANCODE_HOME);
    pushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    pushKey(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    pushKey(SDL_KEYDOWN, SDLK_KP_2, SDL_SCANCODE_KP_2);
    Message message;
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(keySlot(message), 71) << "F8";
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(message.namedSlot, -1);
    EXPECT_EQ(keySlot(message), 71) << "Home shares its slot with F8";
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(message.kind, Message::Kind::KeyDown);
    EXPECT_EQ(keySlot(message), 30) << "A";
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(message.kind, Message::Kind::KeyUp);
    EXPECT_TRUE(message.escape);
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(message.scanCode, 80);
    EXPECT_EQ(keySlot(message), -1) << "keypad 2 has scan code 80";
}

TEST_F(EventQueue, WindowCloseEventIsACloseRequest) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
    Message message;
    ASSERT_TRUE(pollWindowEvent(message));
    EXPECT_EQ(message.kind, Message::Kind::CloseRequest);
}

} // namespace
} // namespace velmorra
