#include "engine/Renderer.h"

#include "platform/StartupTimings.h"

#include "platform/Log.h"
#include "platform/Keyboard.h"
#include "platform/WindowProcedure.h"
#include "platform/SystemTime.h"

#include <GL/gl.h>

#include <cfenv>
#include <cstring>
#include <string>
#include <utility>

namespace velmorra {

namespace {

constexpr GLenum maxTextureUnitsArb = 0x84E2;
constexpr float overlayWidth = 800.0f;
constexpr float overlayHeight = 600.0f;
constexpr int framesPerMeasurement = 10;

} // namespace

Renderer& Renderer::instance() {
    static Renderer renderer;
    return renderer;
}

Renderer::Renderer() {
    // Division by zero and overflow must give infinities and NaNs, never a trap.
    fedisableexcept(FE_ALL_EXCEPT);
}

Renderer::~Renderer() {
    shutdown();
}

bool Renderer::init(GraphicsSurface* newSurface) {
    if (newSurface == nullptr) {
        write("Null device handle, init failed.\n");
        return false;
    }
    surface = newSurface;
    timer = Timer(surface->clock());
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    probeMultitexture();
    setBaselineState();
    startupStep("renderer state set");
    font.create(surface, "Arial", 16);
    startupStep("font made");
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    timer.init();
    return true;
}

void Renderer::probeMultitexture() {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::string list = extensions != nullptr ? extensions : "";
    MultitextureEntryPoints& entryPoints = multitexture;
    if (!hasExtension(list.c_str(), "GL_ARB_multitexture") ||
        !hasExtension(list.c_str(), "GL_EXT_texture_env_add")) {
        entryPoints.supported = false;
        write("Requested multitexturing features not supported.\n");
        return;
    }
    glGetIntegerv(maxTextureUnitsArb, &entryPoints.maxTextureUnits);
    entryPoints.multiTexCoord1f = surface->getProcAddress("glMultiTexCoord1fARB");
    entryPoints.multiTexCoord2f = surface->getProcAddress("glMultiTexCoord2fARB");
    entryPoints.multiTexCoord3f = surface->getProcAddress("glMultiTexCoord3fARB");
    entryPoints.multiTexCoord4f = surface->getProcAddress("glMultiTexCoord4fARB");
    entryPoints.activeTexture = surface->getProcAddress("glActiveTextureARB");
    entryPoints.clientActiveTexture = surface->getProcAddress("glClientActiveTextureARB");
    entryPoints.supported = true;
    write("Requested multitexturing features supported: %d texture units, GL_ADD texenv.\n",
          entryPoints.maxTextureUnits);
}

void Renderer::setBaselineState() const {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    for (const GLenum capability :
         {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_TEXTURE_2D}) {
        glEnable(capability);
    }
    for (const GLenum capability : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_POLYGON_SMOOTH,
                                    GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_COLOR_MATERIAL}) {
        glDisable(capability);
    }
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const GLenum hint : {GL_PERSPECTIVE_CORRECTION_HINT, GL_FOG_HINT, GL_POLYGON_SMOOTH_HINT,
                              GL_LINE_SMOOTH_HINT, GL_POINT_SMOOTH_HINT}) {
        glHint(hint, GL_NICEST);
    }
    glCullFace(GL_BACK);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    applyAmbient();
}

void Renderer::applyAmbient() const {
    const GLfloat ambientLight[] = {ambient[0], ambient[1], ambient[2], 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
}

void Renderer::shutdown() {
    if (surface == nullptr) {
        return;
    }
    font.destroy();
    world.clear();
    forgetRun();
}

// Back to the state before init, so that the next run starts as the first did.
void Renderer::forgetRun() {
    camera.reset();
    viewport = {};
    ambient = {};
    fadeColor = {};
    timer = Timer();
    maxFrameRate = 50.0f;
    showFps = false;
    firstFrameTimed = false;
    surface = nullptr;
    frameCallback = {};
    multitexture = {};
    frameCounter = 0;
    frameRate = 0.0f;
    lastTime = 0;
}

int Renderer::run() {
    frameCounter = 0;
    frameRate = 0.0f;
    lastTime = systemTimeLow32();
    for (;;) {
        Message message;
        if (surface->nextMessage(message)) {
            if (message.kind == Message::Kind::Quit) {
                return message.exitCode;
            }
            windowProcedure(message, keyboard(), surface->messages());
            continue;
        }
        measureFrameRate();
        if (firstFrameTimed) {
            startupStep("waited for the frame cap");
        }
        timer.mark();
        drawFrame();
        surface->present();
        timeFirstFrames();
        waitForFrameCap();
    }
}

// The first frame draws every state for the first time, which makes the GL driver compile its
// shaders; the second, drawn from the same states, shows what the frame costs without that.
void Renderer::timeFirstFrames() {
    if (!startupTiming()) {
        return;
    }
    glFinish();
    if (!firstFrameTimed) {
        firstFrameTimed = true;
        startupStep("first frame drawn and shown");
        return;
    }
    startupEnd("second frame drawn and shown, for comparison");
}

void Renderer::measureFrameRate() {
    if (++frameCounter < framesPerMeasurement) {
        return;
    }
    const std::uint32_t now = systemTimeLow32();
    const float rawRate =
        now == lastTime ? 1000.0f : 100'000'000.0f / static_cast<float>(now - lastTime);
    frameRate = 0.5f * rawRate + 0.5f * frameRate;
    lastTime = now;
    frameCounter = 0;
}

void Renderer::drawFrame() {
    if (frameCallback[0] != nullptr) {
        frameCallback[0]();
    }
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyAmbient();
    renderScene();
    beginOverlay();
    if (showFps) {
        font.print(650, 570, "FPS: %.2f", static_cast<double>(frameRate));
    }
    if (frameCallback[1] != nullptr) {
        frameCallback[1]();
    }
    drawFade();
    endOverlay();
}

void Renderer::renderScene() {
    // The world draws with a copy, so nothing it does can move the camera.
    Camera view = camera;
    world.render(&view);
}

void Renderer::beginOverlay() const {
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, overlayWidth, 0.0, overlayHeight, -1.0, 1.0);
    glColor3f(1.0f, 0.0f, 0.0f);
}

void Renderer::drawFade() const {
    if (fadeColor[3] == 0.0f) {
        return;
    }
    glColor4f(fadeColor[0], fadeColor[1], fadeColor[2], fadeColor[3]);
    glEnable(GL_BLEND);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(overlayWidth, 0.0f);
    glVertex2f(overlayWidth, overlayHeight);
    glVertex2f(0.0f, overlayHeight);
    glEnd();
}

void Renderer::endOverlay() const {
    glEnable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void Renderer::waitForFrameCap() const {
    surface->waitForNextFrame(timer, 1000.0f / maxFrameRate);
}

void Renderer::postQuitMessage(int exitCode) {
    if (surface != nullptr) {
        surface->messages().postQuit(exitCode);
    }
}

void Renderer::setCallback(int slot, FrameCallback callback) {
    if (slot == 0 || slot == 1) {
        frameCallback[static_cast<std::size_t>(slot)] = callback;
    }
}

void Renderer::addObject(std::unique_ptr<Object> object) {
    world.addObject(std::move(object));
}

void Renderer::setBackground(std::unique_ptr<Background> background) {
    world.setBackground(std::move(background));
}

void Renderer::setProjection(float fieldOfView, float nearPlane, float farPlane) {
    world.setPerspective(fieldOfView, nearPlane, farPlane);
}

void Renderer::setAmbient(float r, float g, float b) {
    ambient = {r, g, b};
}

void Renderer::setFade(float r, float g, float b, float a) {
    fadeColor = {r, g, b, a};
}

void Renderer::setFrameRate(float rate, bool showFrameRate) {
    if (rate > 5.0f) {
        maxFrameRate = rate;
    }
    showFps = showFrameRate;
}

bool Renderer::hasExtension(const char* list, const char* name) {
    if (list == nullptr || name == nullptr) {
        return false;
    }
    const std::size_t nameLength = std::strlen(name);
    const char* word = list;
    while (*word != '\0') {
        const char* end = std::strchr(word, ' ');
        const std::size_t wordLength =
            end != nullptr ? static_cast<std::size_t>(end - word) : std::strlen(word);
        if (wordLength == nameLength && std::strncmp(word, name, nameLength) == 0) {
            return true;
        }
        word += wordLength;
        while (*word == ' ') {
            ++word;
        }
    }
    return false;
}

} // namespace velmorra
