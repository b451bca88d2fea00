#pragma once

namespace velmorra::tools {

// One event of the score: when, how long, which pitch (MIDI number, 69 = A
// 440 Hz), how loud (0 to 1) and where (-1 left to 1 right).
struct Note {
    double start = 0.0;    // seconds
    double duration = 0.0; // seconds the key is held; the release rings on after it
    int pitch = 69;
    float velocity = 1.0f;
    float pan = 0.0f;
};

} // namespace velmorra::tools
