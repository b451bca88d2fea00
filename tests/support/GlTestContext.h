#pragma once

#include "platform/WindowSurface.h"

#include <cstdint>
#include <vector>

struct SDL_Window;

namespace velmorra::test {

// A real OpenGL compatibility context on a hidden window of the X server
// (Mesa's llvmpipe under Xvfb in CI), for tests that check GL state and pixels.
// A context that cannot be made fails the test that asked for it, with SDL's reason.
class GlTestContext {
  public:
    GlTestContext(int width = 800, int height = 600);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool isReady() const { return context != nullptr; }
    SDL_Window* window() const { return sdlWindow; }
    // The window as the renderer and the font draw on it.
    WindowSurface& surface() { return windowSurface; }
    int width() const { return pixelWidth; }
    int height() const { return pixelHeight; }

    // The renderer's 2D overlay (800 x 600 units, origin at the lower left) with
    // lighting, depth test, culling, blending and texturing off, cleared to black.
    void beginOverlay() const;

    // RGB bytes of the back buffer, bottom row first.
    std::vector<std::uint8_t> readPixels() const;
    std::uint8_t* pixelAt(std::vector<std::uint8_t>& pixels, int x, int y) const;
    int countNonBlack(const std::vector<std::uint8_t>& pixels) const;

  private:
    bool open(int width, int height);

    SDL_Window* sdlWindow = nullptr;
    void* context = nullptr;
    WindowSurface windowSurface{nullptr};
    int pixelWidth;
    int pixelHeight;
};

// One integer of GL state, as glGetIntegerv reads it.
int glInteger(unsigned int name);

} // namespace velmorra::test

// Ends the current test as failed when no GL context could be made. The suite runs under an X
// server, so a missing context means a broken set-up, which must not pass as a skipped test.
#define VELMORRA_REQUIRE_GL(context)                                                               \
    if (!(context).isReady())                                                                      \
    GTEST_FAIL() << "no OpenGL context available"
