// The page's module: main only loads it; the page's form starts and stops runs through the
// functions below (exported by the link, called with Module.ccall).
#include "app/BrowserRun.h"

#include <cstdint>
#include <string>

namespace {

velmorra::BrowserRun& browserRun() {
    static velmorra::BrowserRun run;
    return run;
}

} // namespace

extern "C" {

// 1 when the run started; 0 when it could not (the log says why).
int velmorra_start(int width, int height, int fullscreen, int hasSeed, double seed,
                   double fromSeconds, int hold) {
    velmorra::BrowserSettings settings;
    settings.width = width;
    settings.height = height;
    settings.fullscreen = fullscreen != 0;
    if (hasSeed != 0) {
        settings.seed = static_cast<std::uint32_t>(seed);
    }
    settings.fromSeconds = fromSeconds > 0.0 ? fromSeconds : 0.0;
    settings.hold = hold != 0;
    std::string error;
    return browserRun().start(settings, error) ? 1 : 0;
}

void velmorra_stop() {
    browserRun().stop();
}

void velmorra_set_hidden(int hidden) {
    browserRun().setHidden(hidden != 0);
}

int velmorra_running() {
    return browserRun().isRunning() ? 1 : 0;
}

} // extern "C"

int main() {
    return 0;
}
