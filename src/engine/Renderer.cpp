#include "engine/Renderer.h"

#include "render/DemoFont.h"

#include "platform/StartupTimings.h"

#include "platform/FloatingPoint.h"
#include "platform/Log.h"
#include "platform/Keyboard.h"
#include "platform/WindowProcedure.h"
#include "platform/SystemTime.h"

#include "draw/Context.h"
#include "draw/Features.h"
#include "draw/Immediate.h"
#include "draw/Lighting.h"
#include "draw/Matrices.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"
#include "draw/View.h"

#include <cstring>
#include <string>
#include <utility>

namespace velmorra {

namespace {

constexpr float overlayWidth = 800.0f;
constexpr float overlayHeight = 600.0f;
constexpr int framesPerMeasurement = 10;

} // namespace

Renderer& Renderer::instance() {
    static Renderer renderer;
    return renderer;
}

Renderer::Renderer() {
    disableFloatingPointTraps();
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
    viewport = draw::currentViewport();
    probeMultitexture();
    setBaselineState();
    startupStep("renderer state set");
    font.create(surface, DemoFont::faceName, DemoFont::pixelHeight);
    startupStep("font made");
    draw::matrixMode(draw::MatrixStack::texture);
    draw::loadIdentity();
    draw::matrixMode(draw::MatrixStack::modelview);
    timer.init();
    return true;
}

void Renderer::probeMultitexture() {
    const char* extensions = draw::contextString(draw::ContextString::extensions);
    const std::string list = extensions != nullptr ? extensions : "";
    MultitextureEntryPoints& entryPoints = multitexture;
    if (!hasExtension(list.c_str(), "GL_ARB_multitexture") ||
        !hasExtension(list.c_str(), "GL_EXT_texture_env_add")) {
        entryPoints.supported = false;
        write("Requested multitexturing features not supported.\n");
        return;
    }
    entryPoints.maxTextureUnits = draw::maxTextureUnits();
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
    draw::shadeModel(draw::Shading::smooth);
    draw::clearColor(0.0f, 0.0f, 0.0f, 1.0f);
    draw::clearDepth(1.0);
    using draw::Feature;
    for (const Feature feature : {Feature::depthTest, Feature::lighting, Feature::cullFace,
                                  Feature::blending, Feature::texturing}) {
        draw::enable(feature);
    }
    for (const Feature feature :
         {Feature::texGenS, Feature::texGenT, Feature::polygonSmooth, Feature::lineSmooth,
          Feature::pointSmooth, Feature::colorMaterial}) {
        draw::disable(feature);
    }
    draw::depthFunction(draw::DepthCompare::lessOrEqual);
    draw::depthMask(true);
    draw::blendFunction(draw::BlendFactor::sourceAlpha, draw::BlendFactor::oneMinusSourceAlpha);
    using draw::Hint;
    for (const Hint hint : {Hint::perspectiveCorrection, Hint::fog, Hint::polygonSmooth,
                            Hint::lineSmooth, Hint::pointSmooth}) {
        draw::hintNicest(hint);
    }
    draw::cullFace(draw::Face::back);
    draw::textureMode(draw::TextureMode::modulate);
    draw::sphereMapTexGen();
    draw::lightModelLocalViewer(false);
    draw::lightModelTwoSide(false);
    applyAmbient();
}

void Renderer::applyAmbient() const {
    const float ambientLight[] = {ambient[0], ambient[1], ambient[2], 1.0f};
    draw::lightModelAmbient(ambientLight);
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
    startFrames();
    for (;;) {
        if (const std::optional<int> exitCode = step()) {
            return *exitCode;
        }
        waitForFrameCap();
    }
}

void Renderer::startFrames() {
    frameCounter = 0;
    frameRate = 0.0f;
    lastTime = systemTimeLow32();
}

std::optional<int> Renderer::step() {
    Message message;
    while (surface->nextMessage(message)) {
        if (message.kind == Message::Kind::Quit) {
            return message.exitCode;
        }
        windowProcedure(message, keyboard(), surface->messages());
    }
    measureFrameRate();
    if (firstFrameTimed) {
        startupStep("waited for the frame cap");
    }
    timer.mark();
    drawFrame();
    surface->present();
    timeFirstFrames();
    return std::nullopt;
}

bool Renderer::frameDue(float earlyMs) const {
    return !timer.elapsedBelow(1000.0f / maxFrameRate - earlyMs);
}

// The first frame draws every state for the first time, which makes the GL driver compile its
// shaders; the second, drawn from the same states, shows what the frame costs without that.
void Renderer::timeFirstFrames() {
    if (!startupTiming()) {
        return;
    }
    draw::finish();
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
    draw::setViewport(viewport);
    draw::clearColorAndDepth();
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
    draw::loadIdentity();
    draw::disable(draw::Feature::lighting);
    draw::enable(draw::Feature::colorMaterial);
    draw::disable(draw::Feature::depthTest);
    draw::disable(draw::Feature::blending);
    draw::disable(draw::Feature::texturing);
    draw::matrixMode(draw::MatrixStack::projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::ortho(0.0, overlayWidth, 0.0, overlayHeight, -1.0, 1.0);
    draw::color(1.0f, 0.0f, 0.0f);
}

void Renderer::drawFade() const {
    if (fadeColor[3] == 0.0f) {
        return;
    }
    draw::color(fadeColor[0], fadeColor[1], fadeColor[2], fadeColor[3]);
    draw::enable(draw::Feature::blending);
    draw::begin(draw::Primitive::quads);
    draw::vertex(0.0f, 0.0f);
    draw::vertex(overlayWidth, 0.0f);
    draw::vertex(overlayWidth, overlayHeight);
    draw::vertex(0.0f, overlayHeight);
    draw::end();
}

void Renderer::endOverlay() const {
    draw::enable(draw::Feature::lighting);
    draw::disable(draw::Feature::colorMaterial);
    draw::enable(draw::Feature::depthTest);
    draw::enable(draw::Feature::blending);
    draw::matrixMode(draw::MatrixStack::projection);
    draw::popMatrix();
    draw::matrixMode(draw::MatrixStack::modelview);
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
