#include "music/PluckSynth.h"

#include "music/Envelope.h"
#include "music/Waveforms.h"

namespace velmorra::tools {

namespace {

constexpr float gain = 0.07f;
constexpr float sendLevel = 0.7f;

} // namespace

void PluckSynth::play(const Note& note, Buses buses) const {
    const Envelope envelope(0.002, 0.35, 0.0, 0.12);
    const double increment = Waveforms::frequency(note.pitch) / StereoBuffer::sampleRate;
    double phase = 0.0, upper = 0.0;
    const double pl = Waveforms::leftGain(note.pan), pr = Waveforms::rightGain(note.pan);
    const std::size_t first = StereoBuffer::frameAt(note.start);
    const std::size_t count = StereoBuffer::frameAt(envelope.length(note.duration));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const double raw = 0.7 * Waveforms::triangle(phase) + 0.3 * Waveforms::sine(upper);
        phase += increment;
        phase -= phase >= 1.0 ? 1.0 : 0.0;
        upper += 2.0 * increment;
        upper -= upper >= 1.0 ? 1.0 : 0.0;
        const double value = raw * envelope.level(t, note.duration) * note.velocity * gain;
        const auto left = static_cast<float>(value * pl), right = static_cast<float>(value * pr);
        buses.dry.add(first + i, left, right);
        buses.send.add(first + i, left * sendLevel, right * sendLevel);
    }
}

} // namespace velmorra::tools
