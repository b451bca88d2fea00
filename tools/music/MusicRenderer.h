#pragma once

#include "music/Score.h"
#include "music/StereoBuffer.h"

namespace velmorra::tools {

// Plays the score through the instruments into a 162-second stereo buffer and
// masters it: the echo and room added, the DC taken out, the peak brought to
// peakDecibels and a fade that reaches silence on the last sample.
class MusicRenderer {
  public:
    static constexpr double peakDecibels = -1.5;
    static constexpr double fadeInSeconds = 4.0;

    static StereoBuffer render(const Score& score);

  private:
    static void removeDc(StereoBuffer& buffer);
    static void normalise(StereoBuffer& buffer);
    static void applyFades(StereoBuffer& buffer, double fadeOutStart);
};

} // namespace velmorra::tools
