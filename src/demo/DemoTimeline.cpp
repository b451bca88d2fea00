#include "demo/DemoTimeline.h"

#include "demo/DemoState.h"
#include "demo/FluidSettings.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "engine/Renderer.h"
#include "scene/Object.h"

#include <cmath>
#include <initializer_list>

namespace velmorra {

namespace {

constexpr int lastPhase = 16;
constexpr int quitPhase = 17;
constexpr float maxDraw = 32767.0f;

enum class Axis { X, Y, Z };

struct Turn {
    Axis axis;
    float degrees;
};

// Resets the camera, turns it about its own axes in order and steps back d
// along its own z axis: it then looks at the world origin from distance d.
void cameraTo(std::initializer_list<Turn> turns, float distance) {
    Camera& camera = Renderer::instance().getCamera();
    camera.reset();
    for (const Turn& turn : turns) {
        switch (turn.axis) {
        case Axis::X:
            camera.rotateLocalX(turn.degrees);
            break;
        case Axis::Y:
            camera.rotateLocalY(turn.degrees);
            break;
        case Axis::Z:
            camera.rotateLocalZ(turn.degrees);
            break;
        }
    }
    camera.translateLocal(0.0f, 0.0f, -distance);
}

void fade(float alpha) {
    Renderer::instance().setFade(0.0f, 0.0f, 0.0f, alpha);
}

void pinBlob(DemoState& state) {
    Vector3* p = state.particlePositions;
    p[0].set(1.05f, 0.02f, 0.03f);
    p[1].set(-1.06f, 0.01f, 0.03f);
    p[2].set(0.04f, 1.05f, 0.04f);
    p[3].set(0.02f, -1.03f, 0.03f);
    p[4].set(0.05f, 0.02f, 1.08f);
    p[5].set(0.01f, 0.03f, -1.01f);
    p[6].set(0.0f, 0.0f, 0.0f);
}

void pinSpout(DemoState& state) {
    Vector3* p = state.particlePositions;
    p[0].set(0.3f, 1.5f, 0.3f);
    p[1].set(0.0f, 1.5f, 0.5f);
    p[2].set(-0.3f, 1.5f, 0.3f);
}

// A random point: x and z run down from `half` over 2 half, y from `yStart`
// over `yStep` (either way). The three draws are taken for z, y, x in order.
Vector3 randomPoint(Random& random, float half, float yStart, float yStep) {
    const auto r1 = static_cast<float>(random.next());
    const auto r2 = static_cast<float>(random.next());
    const auto r3 = static_cast<float>(random.next());
    const float span = 2.0f * half;
    return {half - r3 * span / maxDraw, yStart + r2 * yStep / maxDraw, half - r1 * span / maxDraw};
}

void placeParticles(DemoState& state, int first, int end, float half, float yStart, float yStep) {
    for (int i = first; i < end; ++i) {
        state.particlePositions[i] = randomPoint(state.random, half, yStart, yStep);
        state.particleVelocities[i].set(0.0f, 0.0f, 0.0f);
    }
}

void takeParticles(DemoState& state) {
    state.fluid->getParticles(state.particlePositions, state.particleVelocities,
                              state.particleCount);
}

const FluidSettings& streamSettings() {
    static const FluidSettings settings{{0.6f, 0.6f, 0.6f, 1.0f},
                                        {0.6f, 0.6f, 0.6f, 1.0f},
                                        {1.0f, 1.0f, 1.0f, 1.0f},
                                        {0.0f, 0.0f, 0.0f, 1.0f},
                                        36.0,
                                        {0.0f, 0.0f, 0.0f},
                                        0.01f,
                                        0.35f,
                                        0.94f,
                                        {-1.5f, 1.5f, -1.1f, 100.0f, -1.5f, 1.5f},
                                        "./data/chrome.bmp"};
    return settings;
}

const FluidSettings& pourSettings() {
    static const FluidSettings settings{{0.6f, 0.6f, 0.6f, 0.6f},
                                        {0.4f, 0.4f, 0.8f, 0.6f},
                                        {1.0f, 1.0f, 1.0f, 0.6f},
                                        {0.0f, 0.0f, 0.0f, 0.6f},
                                        34.0,
                                        {0.0f, -100.0f, 0.0f},
                                        0.02f,
                                        6.0f,
                                        0.96f,
                                        {-1.1f, 1.1f, -2.2f, 1000.0f, -1.1f, 1.1f},
                                        "./data/sky.bmp"};
    return settings;
}

// The stream that falls over the altar.
void setUpStream(DemoState& state) {
    cameraTo({}, 5.0f);
    state.sceneObject->setVisible(true);
    state.quad(1).setVisible(false);
    FluidElement& fluid = *state.fluid;
    fluid.release();
    fluid.init(20, 20, 1.5f, 2.0f, 1.5f, state.random);
    streamSettings().applyTo(fluid);
    fluid.setDrawMode(2);
    fluid.setShowParticles(false);
    fluid.setPosition(0.0f, 0.0f, 0.0f);
    takeParticles(state);
    fluid.setVisible(true);
    const int count = state.particleCount;
    const int lowerEnd = count / 2 + 3;
    placeParticles(state, 0, lowerEnd, 0.7f, 5.0f, -1.4f);
    placeParticles(state, lowerEnd, count, 0.7f, 15.0f, -1.4f);
    Vector3* p = state.particlePositions;
    p[0].set(0.25f, 1.5f, 0.25f);
    p[1].set(0.0f, 1.5f, 0.45f);
    p[2].set(-0.25f, 1.5f, 0.25f);
    state.fluidObject->getFrame()->reset();
    state.fluidStep = 0.0f;
}

// The pour into the stone cup.
void setUpPour(DemoState& state) {
    cameraTo({}, 8.0f);
    state.sceneObject->setVisible(false);
    state.cupObject->setVisible(true);
    state.cupObject->getFrame()->translateLocal(0.0f, -3.0f, 0.0f);
    FluidElement& fluid = *state.fluid;
    fluid.release();
    fluid.init(80, 25, 1.7f, 3.0f, 1.7f, state.random);
    pourSettings().applyTo(fluid);
    takeParticles(state);
    fluid.setVisible(true);
    const int count = state.particleCount;
    placeParticles(state, 0, 2 * count / 5, 0.7f, 0.7f, -1.4f);
    placeParticles(state, 2 * count / 5, 3 * count / 5, 0.1f, 10.0f, 50.0f);
    placeParticles(state, 3 * count / 5, count, 0.1f, 60.0f, 70.0f);
    state.fluidObject->getFrame()->reset();
    state.fluidStep = state.framePeriod * 0.25f;
}

void enterPhase(DemoState& state) {
    switch (state.phase) {
    case 1:
        fade(0.0f);
        state.fluidStep = state.framePeriod * 0.5f;
        break;
    case 3:
        state.fluid->setDrawMode(0);
        state.fluid->setShowParticles(true);
        break;
    case 4:
        state.quad(2).setVisible(true);
        state.fluidStep = 0.0f;
        break;
    case 5:
        state.quad(1).setVisible(true);
        state.fluidStep = state.framePeriod * 0.5f;
        break;
    case 6:
        state.quad(2).setVisible(false);
        break;
    case 7:
        setUpStream(state);
        break;
    case 8:
        fade(0.0f);
        break;
    case 9:
        state.fluidStep = state.framePeriod * 0.5882352941176471f;
        state.fluid->setGravity(0.0f, -11.5f, 0.0f);
        state.quad(3).setVisible(true);
        state.quad(3).setPosition(100.0f, 150.0f);
        break;
    case 10:
        state.quad(3).setVisible(false);
        break;
    case 12:
        setUpPour(state);
        break;
    case 13:
        state.quad(4).setVisible(true);
        state.quad(4).setPosition(0.0f, 0.0f);
        state.quad(4).setBrightness(0.0f);
        fade(0.0f);
        break;
    case 14:
        state.quad(4).setVisible(false);
        break;
    case 15:
        state.showCredits = true;
        break;
    case quitPhase:
        Renderer::instance().postQuitMessage(0);
        break;
    default:
        break;
    }
}

float risingAndFalling(float f) {
    const double wave = std::sin(3.14 * static_cast<double>(f));
    return static_cast<float>(wave * wave);
}

void continuePhase(DemoState& state, float f) {
    switch (state.phase) {
    case 0:
        fade(1.0f - f);
        pinBlob(state);
        break;
    case 1:
        cameraTo({{Axis::Y, 360.0f * f}, {Axis::Z, 360.0f * f}}, 5.0f);
        break;
    case 2:
        state.fluid->setDrawMode(state.random.next() % 3 != 0 ? 0 : 2);
        break;
    case 4:
        state.particlePositions[6].set(1.1f * f, 1.1f * f, -1.1f * f);
        state.quad(2).setPosition(500.0f * f - 200.0f, 20.0f);
        state.quad(2).setBrightness(2.0f * f);
        break;
    case 5:
        state.quad(1).setPosition(400.0f, 500.0f - 490.0f * f);
        state.quad(1).setBrightness(2.0f * f);
        state.quad(2).setBrightness(1.0f - 3.0f * f);
        break;
    case 6:
    case 11:
    case 16:
        fade(f);
        break;
    case 7:
        fade(1.0f - f);
        pinSpout(state);
        break;
    case 9:
        pinSpout(state);
        cameraTo({{Axis::Y, 720.0f * f}}, 5.0f);
        state.quad(3).setBrightness(risingAndFalling(f));
        break;
    case 10:
        pinSpout(state);
        cameraTo({{Axis::Y, 1440.0f * f}}, 5.0f);
        break;
    case 12:
        fade(1.0f - f);
        break;
    case 13:
        cameraTo({{Axis::X, 30.0f * f}}, 8.0f);
        state.quad(4).setPosition(500.0f * f, 525.0f * f);
        state.quad(4).setBrightness(risingAndFalling(f));
        break;
    case 14:
        cameraTo({{Axis::Y, 1440.0f * f}, {Axis::X, 30.0f}}, 8.0f);
        break;
    case 15:
        cameraTo({{Axis::Y, 720.0f * f}, {Axis::X, 30.0f}}, 8.0f);
        state.creditsScroll = static_cast<int>(500.0f * f);
        break;
    default:
        break;
    }
}

} // namespace

void demoTimeline() {
    DemoState& state = demoState();
    if (state.fluid != nullptr && state.fluid->isVisible()) {
        state.fluid->simulate(state.fluidStep);
    }
    state.phaseTime = state.demoTimer.elapsed() * 0.001f;
    if (state.phase <= lastPhase && state.phaseTime > state.phaseDurations[state.phase]) {
        state.phaseTime = 0.0f;
        ++state.phase;
        state.demoTimer.mark();
        enterPhase(state);
    }
    if (state.phase <= lastPhase) {
        continuePhase(state, state.phaseTime / state.phaseDurations[state.phase]);
    }
}

} // namespace velmorra
