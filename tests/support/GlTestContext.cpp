#include "support/GlTestContext.h"
#include "platform/VideoSystem.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

namespace velmorra::test {

namespace {

int pinLoadedLibrary(dl_phdr_info* info, std::size_t /*size*/, void* /*data*/) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

// Mesa and the GL dispatch libraries keep a few small allocations per context
// that they free only through state dropped when they are unloaded; keeping
// every library loaded until exit lets the leak checker see those as the
// libraries' own, not as leaks of ours.
void pinGlLibraries() {
    dl_iterate_phdr(pinLoadedLibrary, nullptr);
}

} // namespace

GlTestContext::GlTestContext(int width, int height) : pixelWidth(width), pixelHeight(height) {
    if (!open(width, height)) {
        ADD_FAILURE() << "no OpenGL context: " << SDL_GetError();
    }
}

bool GlTestContext::open(int width, int height) {
    if (startVideoSystem() != 0) {
        return false;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    sdlWindow = SDL_CreateWindow("velmorra-test", 0, 0, width, height,
                                 SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (sdlWindow == nullptr) {
        return false;
    }
    context = SDL_GL_CreateContext(sdlWindow);
    if (context == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(sdlWindow, context) != 0) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
        return false;
    }
    pinGlLibraries();
    windowSurface = WindowSurface(sdlWindow);
    glViewport(0, 0, width, height);
    return true;
}

GlTestContext::~GlTestContext() {
    if (context != nullptr) {
        SDL_GL_MakeCurrent(sdlWindow, nullptr);
        SDL_GL_DeleteContext(context);
    }
    if (sdlWindow != nullptr) {
        SDL_DestroyWindow(sdlWindow);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void GlTestContext::beginOverlay() const {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 800.0, 0.0, 600.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const GLenum capability :
         {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_TEXTURE_2D}) {
        glDisable(capability);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Room for the largest answer (a viewport or a colour has four values; the polygon mode two).
int glInteger(unsigned int name) {
    GLint values[4] = {};
    glGetIntegerv(name, values);
    return values[0];
}

std::vector<std::uint8_t> GlTestContext::readPixels() const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pixelWidth) * pixelHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, pixelWidth, pixelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::uint8_t* GlTestContext::pixelAt(std::vector<std::uint8_t>& pixels, int x, int y) const {
    return &pixels[(static_cast<std::size_t>(y) * pixelWidth + x) * 3];
}

int GlTestContext::countNonBlack(const std::vector<std::uint8_t>& pixels) const {
    int count = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) {
            ++count;
        }
    }
    return count;
}

} // namespace velmorra::test
