#pragma once

namespace velmorra::tools {

// Attack, decay, sustain, release as a function of time since the note began:
// linear attack, exponential-looking decay and release. The release starts
// where the held part left off when the key is let go.
class Envelope {
  public:
    Envelope(double attack, double decay, double sustain, double release);

    double level(double time, double held) const;
    // How long after the start the note can still be heard.
    double length(double held) const { return held + release; }

  private:
    double heldLevel(double time) const;

    double attack;
    double decay;
    double sustain;
    double release;
};

} // namespace velmorra::tools
