#include "app/RunSequence.h"

#include "platform/Log.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoState.h"
#include "demo/DemoTimeline.h"
#include "demo/SceneSetup.h"

#include "draw/Context.h"

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
    begin(surface, seed, hooks);
    const int result = Renderer::instance().run();
    end();
    return result;
}

void RunSequence::begin(GraphicsSurface& surface, std::optional<std::uint32_t> seed,
                        const Hooks& hooks) {
    // The liquid's threads live as long as the liquid, which the renderer's shut-down ends.
    workers.emplace(WorkerPool::coreCount());
    Renderer& renderer = Renderer::instance();
    renderer.init(&surface);
    setupScene(seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))), &*workers);
    if (hooks.startMusic) {
        hooks.startMusic();
    }
    renderer.setCallback(0, hooks.timeline ? hooks.timeline : FrameCallback(demoTimeline));
    renderer.setCallback(1, creditsOverlay);
    logGlIdentification();
    if (hooks.beforeFrameLoop) {
        hooks.beforeFrameLoop();
    }
}

void RunSequence::end() {
    Renderer::instance().shutdown();
    workers.reset();
}

void logGlIdentification() {
    using draw::ContextString;
    const auto contextText = [](ContextString which) {
        const char* text = draw::contextString(which);
        return text != nullptr ? text : "";
    };
    writeText("OpenGL version: ");
    writeText(contextText(ContextString::version));
    writeText("\nRenderer: ");
    writeText(contextText(ContextString::renderer));
    writeText("\nVendor: ");
    writeText(contextText(ContextString::vendor));
    writeText("\nExtensions: ");
    writeText(contextText(ContextString::extensions));
    writeText("\n\n");
}

} // namespace velmorra
