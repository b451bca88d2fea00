#include "music/Score.h"

#include <cstddef>

namespace velmorra::tools {

namespace {

enum SectionIndex { intro, groove, title, breakdown, stream, turn, pour, outro, fade };

struct Chord {
    int root;                 // bass pitch
    std::array<int, 3> tones; // pad voicing
};

// i - VI - III - VII, voiced to move as little as possible.
const std::array<Chord, 4> progression{{{33, {57, 60, 64}},   // A minor
                                        {29, {57, 60, 65}},   // F
                                        {36, {55, 60, 64}},   // C
                                        {31, {55, 59, 62}}}}; // G
const Chord gMajor{31, {55, 59, 62}};
const Chord aMajor{33, {57, 61, 64}};
const Chord fMajor{29, {57, 60, 65}};

Chord transposed(Chord chord, int semitones) {
    chord.root += semitones;
    for (int& tone : chord.tones) {
        tone += semitones;
    }
    return chord;
}

const Score::Section& sectionAt(int bar) {
    for (const Score::Section& section : Score::sections()) {
        if (bar < section.endBar) {
            return section;
        }
    }
    return Score::sections().back();
}

int sectionIndexAt(int bar) {
    return static_cast<int>(&sectionAt(bar) - Score::sections().data());
}

// Each section starts its progression afresh; the two short passages have their own chords.
Chord chordAt(int bar) {
    const int section = sectionIndexAt(bar);
    const int inSection = bar - sectionAt(bar).firstBar;
    if (section == breakdown) {
        return inSection == 0 ? fMajor : gMajor;
    }
    if (section == turn) {
        return inSection == 0 ? gMajor : aMajor;
    }
    const Chord chord = progression[static_cast<std::size_t>(inSection % 4)];
    return section == pour ? transposed(chord, 2) : chord;
}

double barStart(int bar) {
    return bar * Score::bar;
}

// The theme: two four-bar phrases over the progression, as (beat, beats, pitch).
struct ThemeNote {
    double beat;
    double beats;
    int pitch;
};
const std::vector<ThemeNote> themeA{{0, 2, 76},   {2, 1, 81},     {3, 0.5, 79},    {3.5, 0.5, 76},
                                    {4, 1.5, 77}, {5.5, 0.5, 76}, {6, 2, 72},      {8, 1, 76},
                                    {9, 1, 79},   {10, 1.5, 84},  {11.5, 0.5, 83}, {12, 2, 86},
                                    {14, 1, 83},  {15, 1, 79}};
const std::vector<ThemeNote> themeB{{0, 1.5, 81},    {1.5, 0.5, 79}, {2, 1, 76},  {3, 1, 81},
                                    {4, 2, 84},      {6, 1, 81},     {7, 1, 77},  {8, 1, 79},
                                    {9, 1, 76},      {10, 1, 79},    {11, 1, 84}, {12, 1.5, 83},
                                    {13.5, 0.5, 81}, {14, 1, 79},    {15, 1, 74}};

void addPhrase(Score& score, const std::vector<ThemeNote>& phrase, int firstBar, int endBar,
               int shift, float velocity, float pan) {
    for (const ThemeNote& note : phrase) {
        const double start = barStart(firstBar) + note.beat * Score::beat;
        if (start >= barStart(endBar)) {
            break;
        }
        score.lead.push_back(
            {start, note.beats * Score::beat * 0.92, note.pitch + shift, velocity, pan});
    }
}

void writePads(Score& score) {
    for (int bar = 0; bar < Score::bars; ++bar) {
        const int section = sectionIndexAt(bar);
        const float velocity = section == intro  ? 0.45f + 0.05f * static_cast<float>(bar)
                               : section == pour ? 0.8f
                                                 : 0.7f;
        const double brightness = section == intro                      ? 700.0 + 120.0 * bar
                                  : section == pour                     ? 2600.0
                                  : section == outro || section == fade ? 1100.0
                                                                        : 1800.0;
        const Chord chord = chordAt(bar);
        for (const int tone : chord.tones) {
            score.pads.push_back({{barStart(bar), Score::bar, tone, velocity, 0.0f}, brightness});
        }
    }
}

// Eighth notes on the root with octave leaps; held notes where the music breathes.
void writeBass(Score& score) {
    const std::array<int, 8> leaps{0, 0, 12, 0, 0, 12, 0, 7};
    for (int bar = 0; bar < Score::bars; ++bar) {
        const int section = sectionIndexAt(bar);
        const Chord chord = chordAt(bar);
        if (section == intro || section == fade) {
            continue;
        }
        if (section == breakdown || section == turn ||
            (section == outro && bar >= sectionAt(bar).firstBar + 6)) {
            score.bass.push_back({barStart(bar), Score::bar * 0.95, chord.root, 0.6f, 0.0f});
            continue;
        }
        const float velocity = section == pour ? 0.95f : section == groove ? 0.75f : 0.85f;
        for (int step = 0; step < 8; ++step) {
            score.bass.push_back({barStart(bar) + step * Score::beat * 0.5, Score::beat * 0.4,
                                  chord.root + leaps[static_cast<std::size_t>(step)],
                                  velocity * (step % 2 == 0 ? 1.0f : 0.8f), 0.0f});
        }
    }
}

void writeLead(Score& score) {
    const auto& s = Score::sections();
    for (int phrase = 0; phrase < 3; ++phrase) {
        const int first = s[title].firstBar + 4 * phrase;
        addPhrase(score, phrase % 2 == 0 ? themeA : themeB, first, s[title].endBar, 0, 0.8f, 0.1f);
    }
    // Over the stream: a few long high notes answering the falling arpeggios.
    for (int bar = s[stream].firstBar + 4; bar + 1 < s[stream].endBar; bar += 2) {
        const Chord chord = chordAt(bar);
        score.lead.push_back({barStart(bar), Score::bar * 0.9, chord.tones[2] + 12, 0.55f, -0.2f});
        score.lead.push_back(
            {barStart(bar + 1), Score::bar * 0.8, chord.tones[1] + 12, 0.5f, 0.2f});
    }
    // The pour, a tone higher: the theme alone, then doubled an octave down,
    // and in its last two phrases an octave up as well, softly.
    constexpr int lift = 2;
    for (int phrase = 0; phrase < 6; ++phrase) {
        const int first = s[pour].firstBar + 4 * phrase;
        const auto& theme = phrase % 2 == 0 ? themeA : themeB;
        addPhrase(score, theme, first, s[pour].endBar, lift, 0.9f, 0.0f);
        if (phrase >= 2) {
            addPhrase(score, theme, first, s[pour].endBar, lift - 12, 0.5f, -0.4f);
        }
        if (phrase >= 4) {
            addPhrase(score, theme, first, s[pour].endBar, lift + 12, 0.3f, 0.4f);
        }
    }
    addPhrase(score, themeA, s[outro].firstBar, s[outro].firstBar + 4, 0, 0.55f, 0.25f);
}

// Chord tones over two octaves, in the order given by `pattern` (indices into them).
void writeArpeggio(Score& score, int firstBar, int endBar, double step,
                   const std::vector<int>& pattern, float velocity) {
    const int perBar = static_cast<int>(Score::bar / step + 0.5);
    for (int bar = firstBar; bar < endBar; ++bar) {
        const Chord chord = chordAt(bar);
        for (int i = 0; i < perBar; ++i) {
            const int index = pattern[static_cast<std::size_t>(i) % pattern.size()];
            const int pitch =
                chord.tones[static_cast<std::size_t>(index % 3)] + 12 * (1 + index / 3);
            const float pan = (i % 2 == 0) ? -0.5f : 0.5f;
            score.plucks.push_back({barStart(bar) + i * step, step * 0.8, pitch,
                                    velocity * (i % 4 == 0 ? 1.0f : 0.75f), pan});
        }
    }
}

void writePlucks(Score& score) {
    const auto& s = Score::sections();
    writeArpeggio(score, 2, s[intro].endBar, Score::beat * 0.5, {0, 1, 2, 3, 4, 5, 4, 3}, 0.35f);
    writeArpeggio(score, s[stream].firstBar, s[stream].endBar, Score::beat * 0.25,
                  {5, 4, 3, 2, 1, 0, 2, 1}, 0.5f);
    writeArpeggio(score, s[pour].firstBar, s[pour].endBar, Score::beat * 0.25,
                  {0, 2, 4, 5, 3, 1, 2, 4}, 0.38f);
    writeArpeggio(score, s[outro].firstBar, s[fade].endBar, Score::beat * 0.5,
                  {0, 1, 2, 3, 4, 3, 2, 1}, 0.3f);
}

using Kind = DrumSynth::Kind;

void hit(Score& score, int bar, int sixteenth, Kind kind, float velocity) {
    score.drums.push_back({barStart(bar) + sixteenth * Score::beat * 0.25, kind, velocity, 0.0});
}

void writeDrumBar(Score& score, int bar) {
    const int section = sectionIndexAt(bar);
    const int inSection = bar - sectionAt(bar).firstBar;
    switch (section) {
    case groove:
        for (const int step : {0, 8}) {
            hit(score, bar, step, Kind::kick, 0.9f);
        }
        if (bar % 2 == 1) {
            hit(score, bar, 10, Kind::kick, 0.6f);
        }
        for (int step = 2; step < 16; step += 4) {
            hit(score, bar, step, Kind::closedHat, 0.7f);
        }
        break;
    case title:
    case stream:
        for (const int step : {0, 8}) {
            hit(score, bar, step, Kind::kick, 1.0f);
        }
        hit(score, bar, section == stream ? 6 : 10, Kind::kick, 0.6f);
        hit(score, bar, 4, Kind::snare, 0.85f);
        hit(score, bar, 12, Kind::snare, 0.85f);
        for (int step = 0; step < 16; ++step) {
            hit(score, bar, step, step == 14 ? Kind::openHat : Kind::closedHat,
                step % 2 == 0 ? 0.6f : 0.35f);
        }
        break;
    case turn:
        hit(score, bar, 0, Kind::kick, 1.0f);
        for (int step = inSection == 0 ? 8 : 0; step < 16; step += inSection == 0 ? 2 : 1) {
            hit(score, bar, step, Kind::snare, 0.4f + 0.6f * static_cast<float>(step) / 16.0f);
        }
        break;
    case pour:
        for (int step = 0; step < 16; step += 4) {
            hit(score, bar, step, Kind::kick, 1.0f);
            hit(score, bar, step + 2, Kind::openHat, 0.55f);
        }
        hit(score, bar, 4, Kind::snare, 1.0f);
        hit(score, bar, 12, Kind::snare, 1.0f);
        for (int step = 1; step < 16; step += 2) {
            hit(score, bar, step, Kind::closedHat, 0.4f);
        }
        if (inSection % 4 == 0) {
            hit(score, bar, 0, Kind::crash, 0.9f);
        }
        break;
    case outro:
        if (inSection < 4) {
            hit(score, bar, 0, Kind::kick, 0.8f - 0.15f * static_cast<float>(inSection));
        }
        if (inSection < 7) {
            for (int step = 2; step < 16; step += 4) {
                hit(score, bar, step, Kind::closedHat,
                    0.5f - 0.06f * static_cast<float>(inSection));
            }
        }
        break;
    default:
        break;
    }
}

void writeDrums(Score& score) {
    for (int bar = 0; bar < Score::bars; ++bar) {
        writeDrumBar(score, bar);
    }
    const auto& s = Score::sections();
    // Swells into the stream and into the pour, and a crash on each arrival.
    score.drums.push_back({barStart(s[breakdown].firstBar) + 1.0, Kind::riser, 1.0f, 3.0});
    score.drums.push_back({barStart(s[turn].firstBar), Kind::riser, 1.0f, 4.0});
    for (const int section : {groove, title, stream, pour, outro}) {
        score.drums.push_back(
            {barStart(s[static_cast<std::size_t>(section)].firstBar), Kind::crash, 1.0f, 0.0});
    }
}

} // namespace

const std::array<Score::Section, 9>& Score::sections() {
    static const std::array<Section, 9> all{{{"intro", 0, 7},
                                             {"groove", 7, 17},
                                             {"title", 17, 28},
                                             {"break", 28, 30},
                                             {"stream", 30, 43},
                                             {"turn", 43, 45},
                                             {"pour", 45, 69},
                                             {"outro", 69, 79},
                                             {"fade", 79, 81}}};
    return all;
}

Score Score::compose() {
    Score score;
    writePads(score);
    writeBass(score);
    writeLead(score);
    writePlucks(score);
    writeDrums(score);
    return score;
}

} // namespace velmorra::tools
