#include "platform/OffscreenDisplay.h"

#include "platform/FrameClock.h"
#include "platform/Log.h"
#include "platform/SystemTime.h"
#include "platform/StartView.h"

#include "draw/BackendKind.h"
#include "draw/Context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <dlfcn.h>
#include <link.h>

#include <array>
#include <cstring>
#include <utility>

namespace velmorra {

namespace {

// A pbuffer of 8-bit RGB with a 16-bit depth buffer, for desktop OpenGL or OpenGL ES 2.
std::array<EGLint, 13> configAttributes(draw::BackendKind backend) {
    const EGLint renderable =
        backend == draw::BackendKind::gles2 ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT;
    // clang-format off
    return {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, renderable,
            EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
            EGL_BLUE_SIZE,    8,               EGL_DEPTH_SIZE,      16,
            EGL_NONE};
    // clang-format on
}

EGLint configValue(EGLDisplay display, EGLConfig config, EGLint attribute) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// EGL lists the deepest colour first: Mesa offers 10-bit channels before 8-bit ones. gles2 takes
// the first config of exactly 8-bit colour and no alpha, the format frames are read back in, so
// that llvmpipe neither shades into 10-bit pixels nor converts every pixel on read-back. gl11
// keeps the first config, the 10-bit one its frames have always been drawn in.
EGLConfig pickConfig(EGLDisplay display, const EGLConfig* configs, EGLint count,
                     draw::BackendKind backend) {
    if (backend != draw::BackendKind::gles2) {
        return configs[0];
    }
    for (EGLint i = 0; i < count; ++i) {
        const bool eightBits = configValue(display, configs[i], EGL_RED_SIZE) == 8 &&
                               configValue(display, configs[i], EGL_GREEN_SIZE) == 8 &&
                               configValue(display, configs[i], EGL_BLUE_SIZE) == 8 &&
                               configValue(display, configs[i], EGL_ALPHA_SIZE) == 0;
        if (eightBits) {
            return configs[i];
        }
    }
    return configs[0];
}

void logAnswer(bool succeeded) {
    write(succeeded ? "ok.\n" : "failed.\n\n");
}

bool step(const char* what, bool succeeded) {
    write("%s... ", what);
    logAnswer(succeeded);
    return succeeded;
}

int keepGraphicsDriverLoaded(dl_phdr_info* info, std::size_t /*size*/, void* /*data*/) {
    const char* name = info->dlpi_name;
    if (name != nullptr &&
        (std::strstr(name, "_dri") != nullptr || std::strstr(name, "EGL_") != nullptr)) {
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

// Mesa unloads its driver when the EGL display is terminated, while a few of the
// driver's allocations live on in the dispatch libraries until the process ends;
// keeping the driver mapped keeps those attributable to it for leak checkers.
void keepGraphicsDriverLoaded() {
    dl_iterate_phdr(keepGraphicsDriverLoaded, nullptr);
}

} // namespace

OffscreenDisplay::~OffscreenDisplay() {
    close();
}

bool OffscreenDisplay::open(int newWidth, int newHeight, std::string& error,
                            draw::BackendKind newBackend) {
    width = newWidth;
    height = newHeight;
    backend = newBackend;
    if (!openEglDisplay(error) || !createContext(error) || !createBuffer(error) ||
        !activate(error)) {
        close();
        return false;
    }
    keepGraphicsDriverLoaded();
    std::string why;
    if (!draw::startContext(backend, why)) {
        write("Starting the drawing backend... failed: %s\n\n", why.c_str());
        error = "no offscreen OpenGL: the " + std::string(draw::backendName(backend)) +
                " backend cannot draw here: " + why;
        close();
        return false;
    }
    applyStartView(width, height);
    write("\n-- OpenGL offscreen display ENABLED (%dx%d) --\n\n", width, height);
    return true;
}

bool OffscreenDisplay::openEglDisplay(std::string& error) {
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay candidate = EGL_NO_DISPLAY;
    if (getPlatformDisplay != nullptr) {
        candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (!step("Opening offscreen display",
              candidate != EGL_NO_DISPLAY && eglInitialize(candidate, &major, &minor))) {
        error = "no offscreen OpenGL: Mesa's EGL surfaceless platform is not available";
        return false;
    }
    display = candidate;
    return true;
}

bool OffscreenDisplay::createContext(std::string& error) {
    std::array<EGLConfig, 64> candidates{};
    EGLint count = 0;
    const bool es = backend == draw::BackendKind::gles2;
    const std::string api = es ? "OpenGL ES 2" : "desktop-GL";
    if (!step("Choosing offscreen config",
              eglChooseConfig(display, configAttributes(backend).data(), candidates.data(),
                              static_cast<EGLint>(candidates.size()), &count) &&
                  count > 0)) {
        error = "no offscreen OpenGL: EGL offers no " + api + " pbuffer configuration";
        return false;
    }
    config = pickConfig(display, candidates.data(), count, backend);
    const EGLint esAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    const EGLContext created =
        eglBindAPI(es ? EGL_OPENGL_ES_API : EGL_OPENGL_API)
            ? eglCreateContext(display, config, EGL_NO_CONTEXT, es ? esAttributes : nullptr)
            : EGL_NO_CONTEXT;
    if (!step("Creating offscreen context", created != EGL_NO_CONTEXT)) {
        error = "no offscreen OpenGL: EGL cannot create a " + api + " context";
        return false;
    }
    context = created;
    return true;
}

bool OffscreenDisplay::createBuffer(std::string& error) {
    const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    const EGLSurface created = eglCreatePbufferSurface(display, config, attributes);
    write("Creating offscreen buffer (%dx%d)... ", width, height);
    logAnswer(created != EGL_NO_SURFACE);
    if (created == EGL_NO_SURFACE) {
        error = "no offscreen OpenGL: EGL cannot make a " + std::to_string(width) + "x" +
                std::to_string(height) + " buffer";
        return false;
    }
    buffer = created;
    return true;
}

bool OffscreenDisplay::activate(std::string& error) {
    if (!step("Activating offscreen context", eglMakeCurrent(display, buffer, buffer, context))) {
        error = "no offscreen OpenGL: EGL cannot make the context current";
        return false;
    }
    return true;
}

void OffscreenDisplay::close() {
    const bool wasOpen = context != nullptr;
    if (context != nullptr) {
        draw::endContext();
        step("Deactivating offscreen context",
             eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
        step("Releasing offscreen context", eglDestroyContext(display, context));
        context = nullptr;
    }
    if (buffer != nullptr) {
        step("Releasing offscreen buffer", eglDestroySurface(display, buffer));
        buffer = nullptr;
    }
    if (display != nullptr) {
        step("Closing offscreen display", eglTerminate(display));
        display = nullptr;
    }
    if (wasOpen) {
        write("\n-- OpenGL offscreen display DISABLED --\n\n");
    }
}

void OffscreenDisplay::record(long firstFrame, long endFrame, FrameHandler frameHandler,
                              bool (*stop)()) {
    firstRecorded = firstFrame;
    endRecorded = endFrame;
    handler = std::move(frameHandler);
    stopRequested = stop;
    recordStart = steadySeconds();
    lastFrameEnd = recordStart;
}

void* OffscreenDisplay::getProcAddress(const char* name) const {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

void OffscreenDisplay::present() {
    if (frameIndex >= firstRecorded && frameIndex < endRecorded) {
        readBack();
    }
    frameClock.advanceFrame();
    ++frameIndex;
    if (frameIndex == firstRecorded) {
        // The driver may still hold work of the frames before; it belongs to them.
        draw::finish();
        spent.leadIn = steadySeconds() - recordStart;
    }
    const bool stop = stopRequested != nullptr && stopRequested();
    if (frameIndex >= endRecorded || stop || sinkRefused) {
        messages().postQuit(0);
    }
    lastFrameEnd = steadySeconds();
}

void OffscreenDisplay::readBack() {
    draw::finish();
    const double drawn = steadySeconds();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height) * 4);
    draw::readPixels(width, height, pixels.data());
    const double read = steadySeconds();
    if (handler && !sinkRefused) {
        sinkRefused = !handler(std::move(pixels));
    }
    const double handed = steadySeconds();
    spent.drawing += drawn - lastFrameEnd;
    spent.readback += read - drawn;
    spent.handing += handed - read;
}

void OffscreenDisplay::waitForNextFrame(const Timer& /*frameTimer*/, float /*periodMs*/) const {
    // The frame clock has already moved on by exactly one frame: nothing to wait for.
}

} // namespace velmorra
