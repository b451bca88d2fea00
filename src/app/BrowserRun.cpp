#include "app/BrowserRun.h"

#include "platform/BrowserPage.h"
#include "platform/FrameClock.h"
#include "platform/Log.h"
#include "platform/SystemTime.h"
#include "demo/DemoState.h"
#include "engine/Renderer.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace velmorra {

namespace {

// The computed frames before the starting moment take at most this much of an animation frame,
// so the page stays responsive while they run.
constexpr double leadInSliceSeconds = 0.1;
// The browser's animation frames come every 16.7 ms at 60 Hz; a frame of the 30 fps cap that is
// due within this much of one is drawn in it rather than one frame later.
constexpr float earlyMs = 4.0f;

} // namespace

bool BrowserRun::start(const BrowserSettings& chosen, std::string& error) {
    if (run) {
        error = "the demo is already running";
        return false;
    }
    settings = chosen;
    firstFrame = std::lround(settings.fromSeconds * static_cast<double>(FrameClock::framesPerSecond));
    framesDrawn = 0;
    stopRequested = false;
    held = false;
    surface.pacing().restart();
    logPath = std::filesystem::absolute("debug.log");
    logForwarded = 0;
    run.emplace();
    write("Selected display: %dx%dx32 ", settings.width, settings.height);
    write(settings.fullscreen ? "(fullscreen," : "(windowed,");
    write("vsync ON)\n");
    if (!surface.open(settings.width, settings.height, error)) {
        run.reset();
        forwardLog();
        return false;
    }
    run->begin(surface, settings.seed, RunSequence::Hooks{});
    Renderer::instance().startFrames();
    forwardLog();
    BrowserPage::onEveryAnimationFrame(&BrowserRun::animationFrame, this);
    return true;
}

void BrowserRun::stop() {
    if (held) {
        finish(0);
        return;
    }
    stopRequested = true;
}

void BrowserRun::setHidden(bool nowHidden) {
    hidden = nowHidden;
    if (hidden) {
        surface.pacing().pause();
    } else {
        surface.pacing().resume();
    }
}

bool BrowserRun::animationFrame(void* self) {
    return static_cast<BrowserRun*>(self)->nextAnimationFrame();
}

bool BrowserRun::nextAnimationFrame() {
    if (!run) {
        return false;
    }
    if (stopRequested) {
        finish(0);
        return false;
    }
    if (hidden) {
        return true;
    }
    const bool going = surface.pacing().isPaced() ? leadIn() : liveFrame();
    forwardLog();
    return going;
}

bool BrowserRun::leadIn() {
    const double until = steadySeconds() + leadInSliceSeconds;
    while (framesDrawn < firstFrame && steadySeconds() < until) {
        if (!step()) {
            return false;
        }
    }
    report();
    if (framesDrawn < firstFrame) {
        return true;
    }
    if (settings.hold) {
        holdFrame();
        return false;
    }
    followRealTime();
    return true;
}

void BrowserRun::holdFrame() {
    if (step()) {
        held = true;
        report();
    }
}

void BrowserRun::followRealTime() {
    surface.pacing().followRealTime();
    BrowserPage::startMusic(surface.pacing().seconds());
}

bool BrowserRun::liveFrame() {
    if (!Renderer::instance().frameDue(earlyMs)) {
        return true;
    }
    const double began = steadySeconds();
    const bool going = step();
    if (going) {
        report(steadySeconds() - began);
    }
    return going;
}

bool BrowserRun::step() {
    if (const std::optional<int> exitCode = Renderer::instance().step()) {
        finish(*exitCode);
        return false;
    }
    ++framesDrawn;
    return true;
}

void BrowserRun::finish(int exitCode) {
    run->end();
    surface.close();
    run.reset();
    forwardLog();
    BrowserPage::Status status;
    status.frame = framesDrawn;
    status.ended = true;
    BrowserPage::report(status);
    BrowserPage::runEnded(exitCode);
}

void BrowserRun::report(double frameWorkSeconds) const {
    const DemoState& state = demoState();
    BrowserPage::Status status;
    status.time = surface.pacing().seconds();
    status.frame = framesDrawn;
    status.held = held;
    status.phase = phaseIndex(state.phase);
    status.phaseName = phaseName(state.phase);
    status.fps = static_cast<double>(Renderer::instance().getFrameRate());
    status.frameWorkMs = frameWorkSeconds * 1000.0;
    BrowserPage::report(status);
}

// The log's new lines go to the browser's console as they are written.
void BrowserRun::forwardLog() {
    std::ifstream log(logPath, std::ios::binary);
    if (!log || !log.seekg(static_cast<std::streamoff>(logForwarded))) {
        return;
    }
    const std::string fresh{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    const std::size_t complete = fresh.rfind('\n');
    if (complete == std::string::npos) {
        return;
    }
    logForwarded += complete + 1;
    BrowserPage::logLines(fresh.substr(0, complete).c_str());
}

} // namespace velmorra
