#include "music/LeadSynth.h"

#include "music/Envelope.h"
#include "music/StateVariableFilter.h"
#include "music/Waveforms.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr float gain = 0.075f;
constexpr double sendLevel = 0.6;

} // namespace

void LeadSynth::play(const Note& note, Buses buses) const {
    const Envelope envelope(0.015, 0.4, 0.7, 0.25);
    const double frequency = Waveforms::frequency(note.pitch);
    double pulsePhase = 0.0, sawPhase = 0.5, vibratoPhase = 0.0;
    StateVariableFilter filter;
    filter.setCutoff(2600.0 + 1200.0 * note.velocity, 0.25);
    const double pl = Waveforms::leftGain(note.pan), pr = Waveforms::rightGain(note.pan);
    const std::size_t first = StereoBuffer::frameAt(note.start);
    const std::size_t count = StereoBuffer::frameAt(envelope.length(note.duration));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const double depth = 0.006 * std::clamp((t - 0.2) / 0.4, 0.0, 1.0);
        const double bent = frequency * (1.0 + depth * Waveforms::sine(vibratoPhase));
        vibratoPhase += 5.5 / StereoBuffer::sampleRate;
        const double increment = bent / StereoBuffer::sampleRate;
        const double raw = 0.55 * Waveforms::pulse(pulsePhase, increment, 0.3) +
                           0.45 * Waveforms::saw(sawPhase, increment * 1.004);
        pulsePhase += increment;
        pulsePhase -= pulsePhase >= 1.0 ? 1.0 : 0.0;
        sawPhase += increment * 1.004;
        sawPhase -= sawPhase >= 1.0 ? 1.0 : 0.0;
        const double value =
            filter.process(raw).low * envelope.level(t, note.duration) * note.velocity * gain;
        const auto left = static_cast<float>(value * pl), right = static_cast<float>(value * pr);
        buses.dry.add(first + i, left, right);
        buses.send.add(first + i, left * static_cast<float>(sendLevel),
                       right * static_cast<float>(sendLevel));
    }
}

} // namespace velmorra::tools
