#pragma once

#include "music/Buses.h"
#include "music/Note.h"

namespace velmorra::tools {

// A round, punchy bass: saw and sub-octave square through a resonant low-pass
// whose cutoff snaps open at each note and closes again.
class BassSynth {
  public:
    void play(const Note& note, Buses buses) const;
};

} // namespace velmorra::tools
