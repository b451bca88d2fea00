#pragma once

namespace velmorra {

// One window-system event, reduced to what the window procedure acts on.
struct Message {
    enum class Kind { Quit, CloseRequest, KeyDown, KeyUp, Other };

    Kind kind = Kind::Other;
    int exitCode = 0;
    bool escape = false;
    // Slot of a named key (arrows 60-63, F1-F12 64-75), or -1 for other keys.
    int namedSlot = -1;
    // PC (set 1) scan code of the key, or 0 when it has none.
    int scanCode = 0;
};

} // namespace velmorra
