#include "music/DrumSynth.h"

#include "SeededRandom.h"
#include "music/StateVariableFilter.h"
#include "music/Waveforms.h"

#include <cmath>

namespace velmorra::tools {

namespace {

constexpr double twoPi = 2.0 * 3.14159265358979323846;

double noise(SeededRandom& random) {
    return random.unit() * 2.0 - 1.0;
}

} // namespace

std::uint64_t DrumSynth::seedOf(const Hit& hit) {
    return static_cast<std::uint64_t>(std::llround(hit.time * 1000.0)) * 16 +
           static_cast<std::uint64_t>(hit.kind);
}

void DrumSynth::play(const Hit& hit, Buses buses) const {
    switch (hit.kind) {
    case Kind::kick:
        kick(hit, buses);
        break;
    case Kind::snare:
        snare(hit, buses);
        break;
    case Kind::closedHat:
        hat(hit, 0.045, 0.3f, buses);
        break;
    case Kind::openHat:
        hat(hit, 0.22, -0.25f, buses);
        break;
    case Kind::crash:
        crash(hit, buses);
        break;
    case Kind::riser:
        riser(hit, buses);
        break;
    }
}

// A sine that drops from a click to a deep thump.
void DrumSynth::kick(const Hit& hit, Buses buses) {
    const std::size_t first = StereoBuffer::frameAt(hit.time);
    const std::size_t count = StereoBuffer::frameAt(0.45);
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const double frequency = 46.0 + 120.0 * std::exp(-t * 28.0);
        phase += frequency / StereoBuffer::sampleRate;
        const double body = std::sin(twoPi * phase) * std::exp(-t * 7.0);
        const double click = std::exp(-t * 300.0) * 0.3;
        const auto value = static_cast<float>((body + click) * hit.velocity * 0.42);
        buses.dry.add(first + i, value, value);
    }
}

void DrumSynth::snare(const Hit& hit, Buses buses) {
    SeededRandom random(seedOf(hit));
    StateVariableFilter filter;
    filter.setCutoff(2600.0, 0.2);
    const std::size_t first = StereoBuffer::frameAt(hit.time);
    const std::size_t count = StereoBuffer::frameAt(0.3);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const double rattle = filter.process(noise(random)).band * std::exp(-t * 16.0);
        const double tone = std::sin(twoPi * 185.0 * t) * std::exp(-t * 30.0) * 0.6;
        const auto value = static_cast<float>((rattle * 1.6 + tone) * hit.velocity * 0.22);
        buses.dry.add(first + i, value, value * 0.92f);
        buses.send.add(first + i, value * 0.35f, value * 0.35f);
    }
}

void DrumSynth::hat(const Hit& hit, double decay, float pan, Buses buses) {
    SeededRandom random(seedOf(hit));
    StateVariableFilter filter;
    filter.setCutoff(8500.0, 0.3);
    const auto pl = static_cast<float>(Waveforms::leftGain(pan));
    const auto pr = static_cast<float>(Waveforms::rightGain(pan));
    const std::size_t first = StereoBuffer::frameAt(hit.time);
    const std::size_t count = StereoBuffer::frameAt(decay * 6.0);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const auto value = static_cast<float>(filter.process(noise(random)).high *
                                              std::exp(-t / decay) * hit.velocity * 0.09);
        buses.dry.add(first + i, value * pl, value * pr);
    }
}

void DrumSynth::crash(const Hit& hit, Buses buses) {
    SeededRandom random(seedOf(hit));
    StateVariableFilter leftFilter, rightFilter;
    leftFilter.setCutoff(6000.0, 0.1);
    rightFilter.setCutoff(6500.0, 0.1);
    const std::size_t first = StereoBuffer::frameAt(hit.time);
    const std::size_t count = StereoBuffer::frameAt(2.5);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::sampleRate;
        const double level = std::exp(-t * 2.2) * hit.velocity * 0.08;
        const auto left = static_cast<float>(leftFilter.process(noise(random)).high * level);
        const auto right = static_cast<float>(rightFilter.process(noise(random)).high * level);
        buses.dry.add(first + i, left, right);
        buses.send.add(first + i, left * 0.4f, right * 0.4f);
    }
}

// Noise through a band-pass that sweeps upwards and swells, ending on the downbeat.
void DrumSynth::riser(const Hit& hit, Buses buses) {
    SeededRandom random(seedOf(hit));
    StateVariableFilter leftFilter, rightFilter;
    const std::size_t first = StereoBuffer::frameAt(hit.time);
    const std::size_t count = StereoBuffer::frameAt(hit.length);
    for (std::size_t i = 0; i < count; ++i) {
        const double progress = static_cast<double>(i) / static_cast<double>(count);
        if (i % 32 == 0) {
            const double cutoff = 300.0 * std::pow(30.0, progress);
            leftFilter.setCutoff(cutoff, 0.6);
            rightFilter.setCutoff(cutoff * 1.07, 0.6);
        }
        const double level = progress * progress * hit.velocity * 0.12;
        const auto left = static_cast<float>(leftFilter.process(noise(random)).band * level);
        const auto right = static_cast<float>(rightFilter.process(noise(random)).band * level);
        buses.dry.add(first + i, left, right);
        buses.send.add(first + i, left * 0.5f, right * 0.5f);
    }
}

} // namespace velmorra::tools
