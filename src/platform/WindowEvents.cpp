#include "platform/WindowEvents.h"

#include <SDL2/SDL.h>

#include <utility>

namespace velmorra {

namespace {

// PC keyboard (set 1) scan codes, as the keyboard reports them without the
// extended-key prefix, so that e.g. Home shares 71 with keypad 7.
constexpr std::pair<SDL_Scancode, int> pcScanCodes[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_KP_ENTER, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_RCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_KP_DIVIDE, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_PRINTSCREEN, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_RALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_HOME, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_PAGEUP, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_END, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_PAGEDOWN, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_INSERT, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_DELETE, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
};

int pcScanCode(SDL_Scancode scancode) {
    for (const auto& [sdlCode, pcCode] : pcScanCodes) {
        if (sdlCode == scancode) {
            return pcCode;
        }
    }
    return 0;
}

int namedKeySlot(SDL_Keycode key) {
    switch (key) {
    case SDLK_UP:
        return 60;
    case SDLK_DOWN:
        return 61;
    case SDLK_LEFT:
        return 62;
    case SDLK_RIGHT:
        return 63;
    default:
        break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return 64 + static_cast<int>(key - SDLK_F1);
    }
    return -1;
}

Message keyMessage(const SDL_KeyboardEvent& key) {
    Message message;
    message.kind = key.type == SDL_KEYDOWN ? Message::Kind::KeyDown : Message::Kind::KeyUp;
    message.escape = key.keysym.sym == SDLK_ESCAPE;
    message.namedSlot = namedKeySlot(key.keysym.sym);
    message.scanCode = pcScanCode(key.keysym.scancode);
    return message;
}

Message translate(const SDL_Event& event) {
    Message message;
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        message = keyMessage(event.key);
    } else if (event.type == SDL_QUIT ||
               (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        message.kind = Message::Kind::CloseRequest;
    }
    return message;
}

} // namespace

bool pollWindowEvent(Message& message) {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    message = translate(event);
    return true;
}

} // namespace velmorra
