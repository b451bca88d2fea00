#include "platform/Display.h"
#include "platform/VideoSystem.h"

#include "platform/AcceleratedRenderer.h"
#include "platform/Log.h"
#include "platform/StartView.h"
#include "platform/StartupTimings.h"

#include "draw/BackendKind.h"
#include "draw/Context.h"

#include <SDL2/SDL.h>

namespace velmorra {

namespace {

// Stands for the executable's module handle: non-null until the display is closed.
// SDL answers "accelerated" for whatever visual was requested, so the current
// context's own renderer is asked instead.
bool currentRendererIsAccelerated() {
    return isAcceleratedRenderer(draw::contextString(draw::ContextString::renderer));
}

bool displayHasMode(int width, int height) {
    const int modeCount = SDL_GetNumDisplayModes(0);
    for (int index = 0; index < modeCount; ++index) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, index, &mode) == 0 && mode.w == width && mode.h == height) {
            return true;
        }
    }
    return false;
}

void requestContextVersion(draw::BackendKind backend) {
    if (backend == draw::BackendKind::gl11) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
}

// The shaders of gles2 also run on desktop OpenGL 2.1, for drivers without OpenGL ES.
void requestDesktopShaderContext() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
}

void requestPixelFormat(int depth, draw::BackendKind backend) {
    SDL_GL_ResetAttributes();
    const bool sixteenBit = depth == 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sixteenBit ? 5 : 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sixteenBit ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sixteenBit ? 5 : 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    requestContextVersion(backend);
}

int contextAttribute(SDL_GLattr attribute) {
    int value = 0;
    SDL_GL_GetAttribute(attribute, &value);
    return value;
}

void logAnswer(bool succeeded) {
    write(succeeded ? "ok.\n" : "failed.\n");
}

} // namespace

Display::Display()
    : dialogs(&UserDialogs::system()), acceleratedVisual(currentRendererIsAccelerated) {}

Display::~Display() {
    close();
    releasePreparation();
}

// Starting the video system and loading the GL driver take a good part of opening the display;
// done while the settings dialog waits for the user, they are no longer waited for after Start.
// A failure here leaves the work to open, which reports it.
void Display::prepare() {
    if (prepared || startVideoSystem() != 0) {
        return;
    }
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    prepared = true;
}

void Display::releasePreparation() {
    if (!prepared) {
        return;
    }
    SDL_GL_UnloadLibrary();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    prepared = false;
}

// An open window holds its own references to the video system and the GL driver, and a failed
// open has given its own back: either way the preparation has done its part.
bool Display::open() {
    const bool opened = openWindow();
    releasePreparation();
    return opened;
}

void Display::configure(int newWidth, int newHeight, int newDepth, bool newFullscreen,
                        bool newVsyncOff, const char* newTitle) {
    if (window != nullptr) {
        return;
    }
    width = newWidth;
    height = newHeight;
    depth = newDepth;
    fullscreen = newFullscreen;
    vsyncOff = newVsyncOff;
    title = newTitle;
}

void Display::useBackend(draw::BackendKind kind) {
    if (window == nullptr) {
        backend = kind;
    }
}

bool Display::openWindow() {
    if (!registerWindowClass()) {
        return false;
    }
    startupStep("video started");
    if (fullscreen && !enterFullscreen()) {
        return false;
    }
    if (!createWindow() || !createDeviceContext() || !chooseAndSetPixelFormat()) {
        return false;
    }
    startupStep("window made");
    if (!createRenderContext()) {
        return false;
    }
    startupStep("GL context created");
    describePixelFormat();
    if (!checkAcceleration()) {
        return false;
    }
    if (vsyncOff) {
        disableVsync();
    }
    startupStep("pixel format described, acceleration checked");
    showWindow();
    resize(width, height);
    write("\n-- OpenGL display ENABLED --\n\n");
    startupStep("window shown");
    return true;
}

bool Display::registerWindowClass() {
    write("Registering window class... ");
    if (startVideoSystem() != 0) {
        write("failed\n\n");
        return false;
    }
    classRegistered = true;
    write("ok\n");
    return true;
}

bool Display::enterFullscreen() {
    write("Setting fullscreen mode... ");
    if (displayHasMode(width, height)) {
        write("ok.\n");
        return true;
    }
    write("failed.\n");
    if (dialogs->askYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                          "Use Windowed Mode Instead?",
                          "Question")) {
        fullscreen = false;
        write("Using windowed mode.\n");
        return true;
    }
    write("Quitting.\n\n");
    close();
    return false;
}

bool Display::createWindow() {
    requestPixelFormat(depth, backend);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    int x = SDL_WINDOWPOS_CENTERED;
    int y = SDL_WINDOWPOS_CENTERED;
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
        x = 0;
        y = 0;
        SDL_ShowCursor(SDL_DISABLE);
    }
    write("Creating window... ");
    window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (window == nullptr) {
        write("failed.\n\n");
        close();
        return false;
    }
    write("ok.\n");
    return true;
}

bool Display::createDeviceContext() {
    write("Creating a device context... ");
    deviceContext = window;
    write("ok.\n");
    return true;
}

bool Display::chooseAndSetPixelFormat() {
    // The visual matching the requested attributes was chosen and bound when
    // the window was made; SDL reports it once a context is current.
    write("Choosing pixel format... ");
    write("ok.\n");
    write("Setting pixel format... ");
    write("ok.\n");
    return true;
}

bool Display::createRenderContext() {
    write("Creating rendering context... ");
    renderContext = SDL_GL_CreateContext(window);
    if (renderContext == nullptr && backend == draw::BackendKind::gles2) {
        requestDesktopShaderContext();
        renderContext = SDL_GL_CreateContext(window);
    }
    if (renderContext == nullptr) {
        write("failed.\n\n");
        close();
        return false;
    }
    write("ok.\n");
    write("Activating rendering context... ");
    if (SDL_GL_MakeCurrent(window, renderContext) != 0) {
        write("failed.\n\n");
        close();
        return false;
    }
    write("ok.\n");
    std::string why;
    if (!draw::startContext(backend, why)) {
        write("Starting the drawing backend... failed: %s\n\n", why.c_str());
        close();
        return false;
    }
    return true;
}

void Display::describePixelFormat() const {
    const int colorBits = contextAttribute(SDL_GL_RED_SIZE) + contextAttribute(SDL_GL_GREEN_SIZE) +
                          contextAttribute(SDL_GL_BLUE_SIZE) + contextAttribute(SDL_GL_ALPHA_SIZE);
    const int accumulationBits =
        contextAttribute(SDL_GL_ACCUM_RED_SIZE) + contextAttribute(SDL_GL_ACCUM_GREEN_SIZE) +
        contextAttribute(SDL_GL_ACCUM_BLUE_SIZE) + contextAttribute(SDL_GL_ACCUM_ALPHA_SIZE);
    write("\nPixel format description\n");
    write("Color buffer: %d\n", colorBits);
    write("Depth buffer: %d\n", contextAttribute(SDL_GL_DEPTH_SIZE));
    write("Stencil buffer: %d\n", contextAttribute(SDL_GL_STENCIL_SIZE));
    write("Accumulation buffer: %d\n\n", accumulationBits);
}

bool Display::checkAcceleration() {
    if (acceleratedVisual()) {
        return true;
    }
    write("No hardware acceleration found.\n");
    close();
    dialogs->tell("No hardware acceleration found\nwith this resolution.", "Info");
    return false;
}

void Display::disableVsync() {
    if (SDL_GL_SetSwapInterval(0) == 0) {
        write("Vsync disabled (SDL_GL_SetSwapInterval)\n");
    } else {
        write("Vsync unchanged (SDL_GL_SetSwapInterval not supported)\n");
    }
}

void Display::showWindow() {
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void Display::resize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight == 0 ? 1 : newHeight;
    applyStartView(width, height);
}

void Display::close() {
    if (fullscreen) {
        leaveFullscreen();
    }
    releaseRenderContext();
    releaseDeviceContext();
    destroyWindow();
    unregisterWindowClass();
    // Said once: the destructor closes again.
    if (!closed) {
        write("\n-- OpenGL display DISABLED --\n\n");
    }
    closed = true;
}

void Display::leaveFullscreen() {
    if (window != nullptr) {
        SDL_SetWindowFullscreen(window, 0);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void Display::releaseRenderContext() {
    if (renderContext == nullptr) {
        return;
    }
    draw::endContext();
    write("Deactivating rendering context... ");
    logAnswer(SDL_GL_MakeCurrent(window, nullptr) == 0);
    write("Releasing rendering context... ");
    SDL_GL_DeleteContext(renderContext);
    write("ok.\n");
    renderContext = nullptr;
}

void Display::releaseDeviceContext() {
    if (deviceContext == nullptr) {
        return;
    }
    write("Releasing device context... ");
    write("ok.\n");
    deviceContext = nullptr;
}

void Display::destroyWindow() {
    if (window == nullptr) {
        return;
    }
    write("Destroying window... ");
    SDL_DestroyWindow(window);
    write("ok.\n");
    window = nullptr;
}

void Display::unregisterWindowClass() {
    if (!classRegistered) {
        return;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    classRegistered = false;
    write("Unregistering window class... ok.\n");
}

} // namespace velmorra
