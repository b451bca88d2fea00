#include "platform/ProgressMeter.h"

#include "platform/SystemTime.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace velmorra {

namespace {

constexpr int barWidth = 30;
constexpr double redrawSeconds = 0.2;

std::string clockText(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

ProgressMeter::ProgressMeter(long totalFrames, std::FILE* output)
    : total(std::max(totalFrames, 1L)), stream(output), terminal(isatty(fileno(output)) != 0),
      start(steadySeconds()) {}

void ProgressMeter::update(long framesDone) {
    const double seconds = steadySeconds() - start;
    if (terminal) {
        if (seconds - lastDrawn >= redrawSeconds || framesDone >= total) {
            drawBar(framesDone, seconds);
            lastDrawn = seconds;
            drawn = true;
        }
        return;
    }
    while (tenthsWritten < 10 && framesDone * 10 >= total * (tenthsWritten + 1)) {
        ++tenthsWritten;
        writeTenth(framesDone, seconds);
    }
}

void ProgressMeter::drawBar(long framesDone, double seconds) const {
    const int filled = static_cast<int>(framesDone * barWidth / total);
    const double rate = seconds > 0.0 ? static_cast<double>(framesDone) / seconds : 0.0;
    const std::string left =
        rate > 0.0 ? clockText(static_cast<double>(total - framesDone) / rate) : "--:--";
    std::fprintf(stream, "\r[%s%s] %ld/%ld frames  %.1f fps  %s left ",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(barWidth - filled), '.').c_str(), framesDone,
                 total, rate, left.c_str());
    std::fflush(stream);
}

void ProgressMeter::writeTenth(long framesDone, double seconds) const {
    const double rate = seconds > 0.0 ? static_cast<double>(framesDone) / seconds : 0.0;
    std::fprintf(stream, "%d%%: %ld/%ld frames, %.1f fps, %s left\n", tenthsWritten * 10,
                 framesDone, total, rate,
                 clockText(rate > 0.0 ? static_cast<double>(total - framesDone) / rate : 0.0)
                     .c_str());
    std::fflush(stream);
}

void ProgressMeter::finish() {
    if (terminal && drawn) {
        std::fputc('\n', stream);
        std::fflush(stream);
    }
}

} // namespace velmorra
