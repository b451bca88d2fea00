#pragma once

#include "music/Buses.h"

#include <cstdint>

namespace velmorra::tools {

// Synthesised percussion. Noise comes from a generator seeded by the hit's
// time, so every hit sounds the same on every run.
class DrumSynth {
  public:
    enum class Kind { kick, snare, closedHat, openHat, crash, riser };

    struct Hit {
        double time = 0.0;
        Kind kind = Kind::kick;
        float velocity = 1.0f;
        double length = 0.0; // only for the riser: how long it rises
    };

    void play(const Hit& hit, Buses buses) const;

  private:
    static void kick(const Hit& hit, Buses buses);
    static void snare(const Hit& hit, Buses buses);
    static void hat(const Hit& hit, double decay, float pan, Buses buses);
    static void crash(const Hit& hit, Buses buses);
    static void riser(const Hit& hit, Buses buses);
    static std::uint64_t seedOf(const Hit& hit);
};

} // namespace velmorra::tools
