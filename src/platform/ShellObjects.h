#pragma once

#include "platform/Display.h"
#include "platform/Keyboard.h"
#include "platform/Sound.h"

namespace velmorra {

// The long-lived objects of the program shell, constructed together in this
// order and destroyed in reverse (music first, display last).
struct ShellObjects {
    Display display;
    Keyboard keyboard;
    Sound sound;
};

ShellObjects& shellObjects();

} // namespace velmorra
