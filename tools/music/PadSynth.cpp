#include "music/PadSynth.h"

#include "music/Envelope.h"
#include "music/StateVariableFilter.h"
#include "music/Waveforms.h"

#include <array>

namespace velmorra::tools {

namespace {

constexpr double sendLevel = 0.45;
constexpr float gain = 0.06f;
// Constant-power panning puts -3 dB on each side at the centre; pads stay at unity there.
constexpr double centreGain = 1.4142135623730951;

} // namespace

void PadSynth::play(const Note& note, double brightness, Buses buses) const {
    const Envelope envelope(0.9, 1.5, 0.8, 1.6);
    const double base = Waveforms::frequency(note.pitch);
    const std::array<double, 3> detune{0.9946, 1.0, 1.0054};
    const std::array<double, 3> pans{-0.7, 0.0, 0.7};
    std::array<double, 3> phase{0.11, 0.47, 0.83};
    double subPhase = 0.0;
    StateVariableFilter leftFilter, rightFilter;
    leftFilter.setCutoff(brightness, 0.1);
    rightFilter.setCutoff(brightness, 0.1);
    const std::size_t first = StereoBuffer::frameAt(note.start);
    const std::size_t count = StereoBuffer::frameAt(envelope.length(note.duration));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        double left = 0.0, right = 0.0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double increment = base * detune[k] / StereoBuffer::sampleRate;
            const double value = Waveforms::saw(phase[k], increment);
            left += value * Waveforms::leftGain(pans[k]);
            right += value * Waveforms::rightGain(pans[k]);
            phase[k] += increment;
            phase[k] -= phase[k] >= 1.0 ? 1.0 : 0.0;
        }
        const double sub = 0.5 * Waveforms::sine(subPhase);
        subPhase += base * 0.5 / StereoBuffer::sampleRate;
        subPhase -= subPhase >= 1.0 ? 1.0 : 0.0;
        const double level = envelope.level(t, note.duration) * note.velocity * gain;
        const double l = (leftFilter.process(left).low + sub) * level;
        const double r = (rightFilter.process(right).low + sub) * level;
        const double pl = Waveforms::leftGain(note.pan) * centreGain,
                     pr = Waveforms::rightGain(note.pan) * centreGain;
        buses.dry.add(first + i, static_cast<float>(l * pl), static_cast<float>(r * pr));
        buses.send.add(first + i, static_cast<float>(l * pl * sendLevel),
                       static_cast<float>(r * pr * sendLevel));
    }
}

} // namespace velmorra::tools
