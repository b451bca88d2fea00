// Renders the demo's music to a WAV file (default: amns.wav) and prints its
// measurements: length, peak, DC and the loudness of each section.
#include "music/MusicRenderer.h"
#include "music/WavWriter.h"

#include <cmath>
#include <cstdio>

using velmorra::tools::MusicRenderer;
using velmorra::tools::Score;
using velmorra::tools::StereoBuffer;

int main(int argc, char** argv) {
    const char* fileName = argc > 1 ? argv[1] : "amns.wav";
    const StereoBuffer music = MusicRenderer::render(Score::compose());
    if (!velmorra::tools::WavWriter::write(music, fileName)) {
        std::fprintf(stderr, "cannot write %s\n", fileName);
        return 1;
    }
    std::printf("wrote %s: %.3f s, peak %.2f dBFS, mean %.2e / %.2e\n", fileName,
                static_cast<double>(music.frames()) / StereoBuffer::sampleRate,
                20.0 * std::log10(music.peak()), music.meanLeft(), music.meanRight());
    for (const Score::Section& section : Score::sections()) {
        const double from = section.firstBar * Score::bar, to = section.endBar * Score::bar;
        std::printf("  %-6s %5.0f-%3.0f s  %6.1f dBFS RMS\n", section.name, from, to,
                    music.rmsDecibels(StereoBuffer::frameAt(from), StereoBuffer::frameAt(to)));
    }
    return 0;
}
