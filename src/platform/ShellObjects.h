#pragma once

#include "platform/Display.h"
#include "platform/EventSystem.h"
#include "platform/Keyboard.h"
#include "platform/Sound.h"

namespace velmorra {

// The long-lived objects of the program shell, constructed together in this
// order and destroyed in reverse (music first, display last). SDL's event system
// comes first and goes last, so that Ctrl+C and SIGTERM reach the frame loop
// whether or not there is an audio device.
struct ShellObjects {
    EventSystem events;
    Display display;
    Keyboard keyboard;
    Sound sound;
};

ShellObjects& shellObjects();

} // namespace velmorra
