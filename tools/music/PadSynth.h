#pragma once

#include "music/Buses.h"
#include "music/Note.h"

namespace velmorra::tools {

// Warm chords: three detuned saws spread across the stereo field and a sine
// an octave below, through a gentle low-pass; slow to swell, slow to fade.
class PadSynth {
  public:
    // brightness: the low-pass cutoff in hertz.
    void play(const Note& note, double brightness, Buses buses) const;
};

} // namespace velmorra::tools
