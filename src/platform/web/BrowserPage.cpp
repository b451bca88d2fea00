#include "platform/BrowserPage.h"

#include <emscripten.h>
#include <emscripten/html5.h>

namespace velmorra {

namespace {

struct FrameRequest {
    bool (*frame)(void* user);
    void* user;
};

EM_BOOL animationFrame(double /*time*/, void* request) {
    const auto* asked = static_cast<const FrameRequest*>(request);
    return asked->frame(asked->user) ? EM_TRUE : EM_FALSE;
}

// The page's script (web/page.js) defines Module.page; a module without a page ignores the calls.
EM_JS(void, pageStatus, (double time, double frame, int phase, const char* phaseName, double fps,
                         double frameWorkMs, int held, int ended), {
    if (Module.page) {
        Module.page.status(time, frame, phase, UTF8ToString(phaseName), fps, frameWorkMs,
                           held != 0, ended != 0);
    }
});

EM_JS(void, pageStartMusic, (double seconds), {
    if (Module.page) {
        Module.page.startMusic(seconds);
    }
});

EM_JS(void, pageRunEnded, (int exitCode), {
    if (Module.page) {
        Module.page.runEnded(exitCode);
    }
});

EM_JS(void, pageLogLines, (const char* text), {
    if (Module.page) {
        Module.page.logLines(UTF8ToString(text));
    }
});

} // namespace

void BrowserPage::onEveryAnimationFrame(bool (*frame)(void* user), void* user) {
    static FrameRequest request;
    request = {frame, user};
    emscripten_request_animation_frame_loop(animationFrame, &request);
}

void BrowserPage::report(const Status& status) {
    pageStatus(status.time, static_cast<double>(status.frame), status.phase, status.phaseName,
               status.fps, status.frameWorkMs, status.held ? 1 : 0, status.ended ? 1 : 0);
}

void BrowserPage::startMusic(double seconds) {
    pageStartMusic(seconds);
}

void BrowserPage::runEnded(int exitCode) {
    pageRunEnded(exitCode);
}

void BrowserPage::logLines(const char* text) {
    pageLogLines(text);
}

} // namespace velmorra
