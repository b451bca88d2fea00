#include "app/RunSequence.h"

#include "platform/Log.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoState.h"
#include "demo/DemoTimeline.h"
#include "demo/SceneSetup.h"
#include "fluid/WorkerPool.h"

#include <GL/gl.h>

#include <ctime>

namespace velmorra {

bool RunSequence::openLogHere(StartupTimings& timings) {
    openLog();
    attachStartupTimings(&timings);
    return true;
}

RunSequence::~RunSequence() {
    attachStartupTimings(nullptr);
    closeLog();
    // The title quads' textures go after the log is closed, as they always have.
    demoState().reset();
}

int RunSequence::play(GraphicsSurface& surface, std::optional<std::uint32_t> seed,
                      const Hooks& hooks) {
    // The liquid's threads live as long as the liquid, which the renderer's shut-down ends.
    WorkerPool workers(WorkerPool::coreCount());
    Renderer& renderer = Renderer::instance();
    renderer.init(&surface);
    setupScene(seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))), &workers);
    if (hooks.startMusic) {
        hooks.startMusic();
    }
    renderer.setCallback(0, hooks.timeline ? hooks.timeline : FrameCallback(demoTimeline));
    renderer.setCallback(1, creditsOverlay);
    logGlIdentification();
    if (hooks.beforeFrameLoop) {
        hooks.beforeFrameLoop();
    }
    const int result = renderer.run();
    renderer.shutdown();
    return result;
}

void logGlIdentification() {
    const auto glString = [](GLenum name) {
        const auto* text = reinterpret_cast<const char*>(glGetString(name));
        return text != nullptr ? text : "";
    };
    writeText("OpenGL version: ");
    writeText(glString(GL_VERSION));
    writeText("\nRenderer: ");
    writeText(glString(GL_RENDERER));
    writeText("\nVendor: ");
    writeText(glString(GL_VENDOR));
    writeText("\nExtensions: ");
    writeText(glString(GL_EXTENSIONS));
    writeText("\n\n");
}

} // namespace velmorra
