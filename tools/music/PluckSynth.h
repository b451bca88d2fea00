#pragma once

#include "music/Buses.h"
#include "music/Note.h"

namespace velmorra::tools {

// Glassy plucked notes for the arpeggios: a triangle with a sine an octave up,
// dying away quickly, their echoes trailing through the send.
class PluckSynth {
  public:
    void play(const Note& note, Buses buses) const;
};

} // namespace velmorra::tools
