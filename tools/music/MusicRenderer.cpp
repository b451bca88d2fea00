#include "music/MusicRenderer.h"

#include "music/BassSynth.h"
#include "music/EffectsBus.h"
#include "music/LeadSynth.h"
#include "music/PadSynth.h"
#include "music/PluckSynth.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

StereoBuffer MusicRenderer::render(const Score& score) {
    StereoBuffer mix(StereoBuffer::frameAt(Score::length));
    StereoBuffer send(mix.frames());
    const Buses buses{mix, send};
    for (const Score::PadChord& chord : score.pads) {
        PadSynth().play(chord.note, chord.brightness, buses);
    }
    for (const Note& note : score.bass) {
        BassSynth().play(note, buses);
    }
    for (const Note& note : score.lead) {
        LeadSynth().play(note, buses);
    }
    for (const Note& note : score.plucks) {
        PluckSynth().play(note, buses);
    }
    for (const DrumSynth::Hit& hit : score.drums) {
        DrumSynth().play(hit, buses);
    }
    EffectsBus::apply(send, mix, Score::beat);
    removeDc(mix);
    applyFades(mix, Score::sections().back().firstBar * Score::bar);
    normalise(mix);
    return mix;
}

// A one-pole high-pass at about 5 Hz on each channel.
void MusicRenderer::removeDc(StereoBuffer& buffer) {
    const double coefficient = 1.0 - 2.0 * 3.14159265358979323846 * 5.0 / StereoBuffer::sampleRate;
    double lastInLeft = 0.0, lastOutLeft = 0.0, lastInRight = 0.0, lastOutRight = 0.0;
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        const double left = buffer.leftAt(i), right = buffer.rightAt(i);
        lastOutLeft = left - lastInLeft + coefficient * lastOutLeft;
        lastOutRight = right - lastInRight + coefficient * lastOutRight;
        lastInLeft = left;
        lastInRight = right;
        buffer.set(i, static_cast<float>(lastOutLeft), static_cast<float>(lastOutRight));
    }
}

void MusicRenderer::normalise(StereoBuffer& buffer) {
    const float peak = buffer.peak();
    if (peak > 0.0f) {
        buffer.scale(static_cast<float>(std::pow(10.0, peakDecibels / 20.0)) / peak);
    }
}

// Raised-cosine fades: in over the first seconds, out from fadeOutStart to the end.
void MusicRenderer::applyFades(StereoBuffer& buffer, double fadeOutStart) {
    const std::size_t fadeInFrames = StereoBuffer::frameAt(fadeInSeconds);
    const std::size_t outFirst = StereoBuffer::frameAt(fadeOutStart);
    const std::size_t outFrames = buffer.frames() - 1 - outFirst;
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        double gain = 1.0;
        if (i < fadeInFrames) {
            gain = 0.5 -
                   0.5 * std::cos(3.14159265358979323846 * static_cast<double>(i) / fadeInFrames);
        }
        if (i >= outFirst) {
            const double progress =
                static_cast<double>(i - outFirst) / static_cast<double>(outFrames);
            gain *= 0.5 + 0.5 * std::cos(3.14159265358979323846 * std::min(progress, 1.0));
        }
        buffer.set(i, static_cast<float>(buffer.leftAt(i) * gain),
                   static_cast<float>(buffer.rightAt(i) * gain));
    }
}

} // namespace velmorra::tools
