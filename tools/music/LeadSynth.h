#pragma once

#include "music/Buses.h"
#include "music/Note.h"

namespace velmorra::tools {

// The singing voice of the themes: a narrow pulse and a saw a few cents
// apart, with vibrato that grows in after the attack, sent generously to the
// echo and the room.
class LeadSynth {
  public:
    void play(const Note& note, Buses buses) const;
};

} // namespace velmorra::tools
