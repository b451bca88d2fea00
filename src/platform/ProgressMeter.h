#pragma once

#include <cstdio>

namespace velmorra {

// Progress of a long job on standard error: on a terminal one line redrawn in place
// (a bar, frames done of all, frames per second, time left); otherwise, for logs and
// pipes, one line at every tenth of the work.
class ProgressMeter {
  public:
    explicit ProgressMeter(long totalFrames, std::FILE* stream = stderr);

    void update(long framesDone);
    // Ends the bar's line on a terminal.
    void finish();

  private:
    void drawBar(long framesDone, double seconds) const;
    void writeTenth(long framesDone, double seconds) const;

    long total;
    std::FILE* stream;
    bool terminal;
    double start;
    double lastDrawn = -1.0;
    int tenthsWritten = 0;
    bool drawn = false;
};

} // namespace velmorra
