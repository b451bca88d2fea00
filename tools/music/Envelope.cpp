#include "music/Envelope.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

Envelope::Envelope(double attack, double decay, double sustain, double release)
    : attack(std::max(attack, 1e-4)), decay(std::max(decay, 1e-4)), sustain(sustain),
      release(std::max(release, 1e-4)) {}

double Envelope::heldLevel(double time) const {
    if (time < attack) {
        return time / attack;
    }
    const double fall = std::exp(-4.0 * (time - attack) / decay);
    return sustain + (1.0 - sustain) * fall;
}

double Envelope::level(double time, double held) const {
    if (time < 0.0) {
        return 0.0;
    }
    if (time < held) {
        return heldLevel(time);
    }
    const double after = time - held;
    if (after >= release) {
        return 0.0;
    }
    // Falls by about 60 dB over the release, then the last step to zero.
    return heldLevel(held) * std::exp(-7.0 * after / release) * (1.0 - after / release);
}

} // namespace velmorra::tools
