#include "music/BassSynth.h"

#include "music/Envelope.h"
#include "music/StateVariableFilter.h"
#include "music/Waveforms.h"

#include <cmath>

namespace velmorra::tools {

namespace {

constexpr float gain = 0.16f;
constexpr std::size_t controlInterval = 32;

} // namespace

void BassSynth::play(const Note& note, Buses buses) const {
    const Envelope envelope(0.004, 0.35, 0.65, 0.07);
    const double frequency = Waveforms::frequency(note.pitch);
    const double increment = frequency / StereoBuffer::sampleRate;
    double phase = 0.0, subPhase = 0.0;
    StateVariableFilter filter;
    const std::size_t first = StereoBuffer::frameAt(note.start);
    const std::size_t count = StereoBuffer::frameAt(envelope.length(note.duration));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        if (i % controlInterval == 0) {
            filter.setCutoff(180.0 + 1400.0 * note.velocity * std::exp(-t * 14.0), 0.45);
        }
        const double raw = 0.6 * Waveforms::saw(phase, increment) +
                           0.5 * Waveforms::pulse(subPhase, increment * 0.5, 0.5);
        phase += increment;
        phase -= phase >= 1.0 ? 1.0 : 0.0;
        subPhase += increment * 0.5;
        subPhase -= subPhase >= 1.0 ? 1.0 : 0.0;
        const double value =
            filter.process(raw).low * envelope.level(t, note.duration) * note.velocity * gain;
        buses.dry.add(first + i, static_cast<float>(value), static_cast<float>(value));
    }
}

} // namespace velmorra::tools
