#pragma once

#include "platform/DeviceContext.h"
#include "platform/UserDialogs.h"

#include "draw/BackendKind.h"

namespace velmorra {

// The one application window with its OpenGL context. Every start-up and
// teardown step is written to the log as a protocol.
class Display {
  public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Ignored while a window exists.
    void configure(int width, int height, int depth, bool fullscreen, bool vsyncOff,
                   const char* title);
    // How the context draws: a compatibility context for gl11, OpenGL ES 2 (or, where the
    // driver offers none, OpenGL 2.1) for gles2. Ignored while a window exists.
    void useBackend(draw::BackendKind kind);
    // Optional, while the settings dialog waits for the user: starts what open needs that does
    // not depend on the settings, so that open takes less time after Start.
    void prepare();
    // Gives back what prepare started, unless open already did; for a run that ends in the dialog.
    void releasePreparation();
    bool open();
    void close();
    void resize(int width, int height);

    DeviceContext getDeviceContext() const { return deviceContext; }
    bool isFullscreen() const { return fullscreen; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    void setDialogs(const UserDialogs& replacement) { dialogs = &replacement; }
    // Replaces the check of whether the current context's renderer is accelerated.
    void setAccelerationProbe(bool (*probe)()) { acceleratedVisual = probe; }

  private:
    bool openWindow();
    bool registerWindowClass();
    bool enterFullscreen();
    bool createWindow();
    bool createDeviceContext();
    bool chooseAndSetPixelFormat();
    bool createRenderContext();
    void describePixelFormat() const;
    bool checkAcceleration();
    void disableVsync();
    void showWindow();
    void leaveFullscreen();
    void releaseRenderContext();
    void releaseDeviceContext();
    void destroyWindow();
    void unregisterWindowClass();

    SDL_Window* window = nullptr;
    DeviceContext deviceContext = nullptr;
    void* renderContext = nullptr;
    draw::BackendKind backend = draw::BackendKind::gl11;
    bool closed = false;
    int width = 800;
    int height = 600;
    int depth = 16;
    bool vsyncOff = true;
    bool fullscreen = true;
    const char* title = "OpenGL";
    bool classRegistered = false;
    bool prepared = false;
    const UserDialogs* dialogs;
    bool (*acceleratedVisual)();
};

} // namespace velmorra
