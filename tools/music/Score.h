#pragma once

#include "music/DrumSynth.h"
#include "music/Note.h"

#include <array>
#include <vector>

namespace velmorra::tools {

// The demo's music, written out note by note: 81 bars at 120 beats a minute
// (two seconds a bar), so every change of the picture falls on a bar line.
// A minor, with a lift to B minor for the pour.
struct Score {
    static constexpr double beat = 0.5;
    static constexpr double bar = 4 * beat;
    static constexpr int bars = 81;
    static constexpr double length = bars * bar; // 162 s

    struct Section {
        const char* name;
        int firstBar;
        int endBar; // one past the last
    };
    // In order: intro, groove, title, break, stream, turn, pour, outro, fade.
    static const std::array<Section, 9>& sections();

    struct PadChord {
        Note note;
        double brightness = 0.0;
    };

    std::vector<PadChord> pads;
    std::vector<Note> bass;
    std::vector<Note> lead;
    std::vector<Note> plucks;
    std::vector<DrumSynth::Hit> drums;

    static Score compose();
};

} // namespace velmorra::tools
