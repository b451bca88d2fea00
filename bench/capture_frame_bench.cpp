// One captured frame of the demo offscreen (Mesa's EGL), at the three capture sizes: drawing it
// with either backend (the timeline's step, the scene, the overlay, up to the finished picture),
// with the draw calls and vertices it hands the driver, and reading it back, straight into
// memory or double-buffered through two pixel buffer objects.

#include "platform/FrameClock.h"
#include "platform/OffscreenDisplay.h"
#include "draw/BackendKind.h"
#include "draw/Context.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoState.h"
#include "demo/DemoTimeline.h"
#include "demo/SceneSetup.h"
#include "engine/Renderer.h"
#include "fluid/WorkerPool.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using velmorra::OffscreenDisplay;

// The demo built once per size on its own offscreen display, its clock at 30 s in.
struct CapturedDemo {
    CapturedDemo(int width, int height, velmorra::draw::BackendKind backend) {
        std::string error;
        ready = display.open(width, height, error, backend);
        if (!ready) {
            return;
        }
        std::filesystem::current_path(VELMORRA_SOURCE_DIR);
        velmorra::Renderer& renderer = velmorra::Renderer::instance();
        renderer.init(&display);
        velmorra::setupScene(7, &workers);
        renderer.setCallback(0, velmorra::demoTimeline);
        renderer.setCallback(1, velmorra::creditsOverlay);
        for (int frame = 0; frame < 30 * 30; ++frame) {
            drawFrame();
        }
        velmorra::draw::finish();
    }
    ~CapturedDemo() {
        velmorra::Renderer::instance().shutdown();
        velmorra::demoState().reset();
    }

    void drawFrame() {
        velmorra::Renderer::instance().drawFrame();
        display.getFrameClock().advanceFrame();
    }

    velmorra::WorkerPool workers{velmorra::WorkerPool::coreCount()};
    OffscreenDisplay display;
    bool ready = false;
};

void drawDemoFrame(benchmark::State& state) {
    const auto backend = static_cast<velmorra::draw::BackendKind>(state.range(2));
    state.SetLabel(velmorra::draw::backendName(backend));
    CapturedDemo demo(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), backend);
    if (!demo.ready) {
        state.SkipWithError("no offscreen OpenGL");
        return;
    }
    const velmorra::draw::DrawStatistics before = velmorra::draw::statistics();
    for (auto _ : state) {
        demo.drawFrame();
        velmorra::draw::finish();
    }
    const velmorra::draw::DrawStatistics after = velmorra::draw::statistics();
    const double frames = static_cast<double>(state.iterations());
    state.counters["draw_calls"] = static_cast<double>(after.drawCalls - before.drawCalls) / frames;
    state.counters["vertices"] = static_cast<double>(after.vertices - before.vertices) / frames;
}

void readBack(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const bool throughBuffers = state.range(2) != 0;
    OffscreenDisplay display;
    std::string error;
    if (!display.open(width, height, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto genBuffers = reinterpret_cast<PFNGLGENBUFFERSPROC>(display.getProcAddress("glGenBuffers"));
    const auto bindBuffer = reinterpret_cast<PFNGLBINDBUFFERPROC>(display.getProcAddress("glBindBuffer"));
    const auto bufferData = reinterpret_cast<PFNGLBUFFERDATAPROC>(display.getProcAddress("glBufferData"));
    const auto mapBuffer = reinterpret_cast<PFNGLMAPBUFFERPROC>(display.getProcAddress("glMapBuffer"));
    const auto unmapBuffer = reinterpret_cast<PFNGLUNMAPBUFFERPROC>(display.getProcAddress("glUnmapBuffer"));
    const auto deleteBuffers = reinterpret_cast<PFNGLDELETEBUFFERSPROC>(display.getProcAddress("glDeleteBuffers"));
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    GLuint buffers[2] = {};
    genBuffers(2, buffers);
    for (const GLuint buffer : buffers) {
        bindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        bufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_READ);
    }
    bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    long frame = 0;
    for (auto _ : state) {
        glClearColor(static_cast<float>(frame % 7) / 7.0f, 0.2f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
        std::vector<std::uint8_t> pixels(bytes);
        if (!throughBuffers) {
            glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        } else {
            // This frame into one buffer, the frame before out of the other.
            bindBuffer(GL_PIXEL_PACK_BUFFER, buffers[frame % 2]);
            glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            bindBuffer(GL_PIXEL_PACK_BUFFER, buffers[(frame + 1) % 2]);
            if (const void* mapped = mapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY)) {
                std::memcpy(pixels.data(), mapped, bytes);
                unmapBuffer(GL_PIXEL_PACK_BUFFER);
            }
            bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        }
        benchmark::DoNotOptimize(pixels.data());
        ++frame;
    }
    deleteBuffers(2, buffers);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

} // namespace

// The last argument is the backend: 0 gl11, 1 gles2.
BENCHMARK(drawDemoFrame)
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1440, 1080, 0})
    ->Args({1440, 1080, 1})
    ->Args({1920, 1440, 0})
    ->Args({1920, 1440, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(readBack)
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1440, 1080, 0})
    ->Args({1440, 1080, 1})
    ->Args({1920, 1440, 0})
    ->Args({1920, 1440, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
