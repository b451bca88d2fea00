#pragma once

#include "platform/GraphicsSurface.h"
#include "platform/Timer.h"
#include "math/Camera.h"
#include "render/Font.h"
#include "scene/World.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace velmorra {

using FrameCallback = std::function<void()>;

// Multitexture entry points, looked up by the renderer's init when the driver
// offers them.
struct MultitextureEntryPoints {
    bool supported = false;
    int maxTextureUnits = 0;
    void* multiTexCoord1f = nullptr;
    void* multiTexCoord2f = nullptr;
    void* multiTexCoord3f = nullptr;
    void* multiTexCoord4f = nullptr;
    void* activeTexture = nullptr;
    void* clientActiveTexture = nullptr;
};

// Owns the OpenGL state, the font and the frame loop with its two per-frame
// callbacks: slot 0 before the scene is drawn, slot 1 in the 800 x 600 overlay.
class Renderer {
  public:
    // The program's renderer, constructed on first use.
    static Renderer& instance();

    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Draws on `surface` from here on; null is refused.
    bool init(GraphicsSurface* surface);
    // Deletes the font and the world's contents and forgets the run: camera, fade, callbacks.
    void shutdown();
    // The frame loop: steps until a quit message, waiting for the frame cap between steps.
    int run();
    // For a caller that paces frames itself (the browser's animation frames): startFrames once,
    // then step whenever frameDue. A step takes every waiting message, then draws and shows
    // one frame; it returns the exit code once a quit message arrives.
    void startFrames();
    std::optional<int> step();
    // The frame cap's period has passed since the last frame started, or will within `earlyMs`.
    bool frameDue(float earlyMs) const;

    void setCallback(int slot, FrameCallback callback);
    // Ends the frame loop before its next frame: run returns `exitCode`.
    void postQuitMessage(int exitCode);
    void addObject(std::unique_ptr<Object> object);
    void setBackground(std::unique_ptr<Background> background);
    void setProjection(float fieldOfView, float nearPlane, float farPlane);
    void setAmbient(float r, float g, float b);
    void setFade(float r, float g, float b, float a);
    void setFrameRate(float rate, bool showFrameRate);
    const Font& getFont() const { return font; }
    Camera& getCamera() { return camera; }
    // The clock of the surface it draws on (the system's before init).
    const ClockSource& getClock() const {
        return surface != nullptr ? surface->clock() : ClockSource::system();
    }
    World& getWorld() { return world; }

    static bool hasExtension(const char* list, const char* name);

    // One frame without the swap and the wait: what `run` draws each pass.
    void drawFrame();
    void measureFrameRate();
    void timeFirstFrames();
    void waitForFrameCap() const;
    float getFrameRate() const { return frameRate; }
    const std::array<float, 4>& getFade() const { return fadeColor; }
    float getMaxFrameRate() const { return maxFrameRate; }
    bool isShowingFps() const { return showFps; }
    const std::array<int, 4>& getViewport() const { return viewport; }
    // What init found of the driver's multitexturing.
    const MultitextureEntryPoints& getMultitexture() const { return multitexture; }

  private:
    void forgetRun();
    void probeMultitexture();
    void setBaselineState() const;
    void applyAmbient() const;
    void renderScene();
    void beginOverlay() const;
    void drawFade() const;
    void endOverlay() const;

    Font font;
    World world;
    Camera camera;
    std::array<int, 4> viewport{};
    std::array<float, 3> ambient{};
    std::array<float, 4> fadeColor{};
    Timer timer;
    float maxFrameRate = 50.0f;
    bool showFps = false;
    bool firstFrameTimed = false;
    GraphicsSurface* surface = nullptr;
    std::array<FrameCallback, 2> frameCallback{};
    MultitextureEntryPoints multitexture;
    int frameCounter = 0;
    float frameRate = 0.0f;
    std::uint32_t lastTime = 0;
};

} // namespace velmorra
