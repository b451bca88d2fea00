#include "demo/DemoTimeline.h"

#include "demo/DemoState.h"
#include "demo/FluidSettings.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "engine/Renderer.h"
#include "scene/Element.h"
#include "scene/Object.h"

#include <cmath>
#include <initializer_list>

namespace velmorra {

namespace {

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
    static const FluidSettings settings{
        .ambient = {0.6f, 0.6f, 0.6f, 1.0f},
        .diffuse = {0.6f, 0.6f, 0.6f, 1.0f},
        .specular = {1.0f, 1.0f, 1.0f, 1.0f},
        .emission = {0.0f, 0.0f, 0.0f, 1.0f},
        .isoLevel = 36.0,
        .gravity = {0.0f, 0.0f, 0.0f},
        .mass = 0.01f,
        .restDistance = 0.35f,
        .damping = 0.94f,
        .bounds = {.x = {-1.5f, 1.5f}, .y = {-1.1f, 100.0f}, .z = {-1.5f, 1.5f}},
        .texture = "./data/chrome.bmp"};
    return settings;
}

const FluidSettings& pourSettings() {
    static const FluidSettings settings{
        .ambient = {0.6f, 0.6f, 0.6f, 0.6f},
        .diffuse = {0.4f, 0.4f, 0.8f, 0.6f},
        .specular = {1.0f, 1.0f, 1.0f, 0.6f},
        .emission = {0.0f, 0.0f, 0.0f, 0.6f},
        .isoLevel = 34.0,
        .gravity = {0.0f, -100.0f, 0.0f},
        .mass = 0.02f,
        .restDistance = 6.0f,
        .damping = 0.96f,
        .bounds = {.x = {-1.1f, 1.1f}, .y = {-2.2f, 1000.0f}, .z = {-1.1f, 1.1f}},
        .texture = "./data/sky.bmp"};
    return settings;
}

// Half the particles and three more in a cube around height 5, the rest around height 15;
// then three are held at the spout.
void placeStream(DemoState& state) {
    const int count = state.particleCount;
    const int lowerEnd = count / 2 + 3;
    placeParticles(state, 0, lowerEnd, 0.7f, 5.0f, -1.4f);
    placeParticles(state, lowerEnd, count, 0.7f, 15.0f, -1.4f);
    Vector3* p = state.particlePositions;
    p[0].set(0.25f, 1.5f, 0.25f);
    p[1].set(0.0f, 1.5f, 0.45f);
    p[2].set(-0.25f, 1.5f, 0.25f);
}

// Two fifths in a cube inside the cup, the rest in a thin column from height 10 up to 130.
void placePour(DemoState& state) {
    const int count = state.particleCount;
    placeParticles(state, 0, 2 * count / 5, 0.7f, 0.7f, -1.4f);
    placeParticles(state, 2 * count / 5, 3 * count / 5, 0.1f, 10.0f, 50.0f);
    placeParticles(state, 3 * count / 5, count, 0.1f, 60.0f, 70.0f);
}

// The stream that falls over the altar, frozen until it is let go.
void setUpStream(DemoState& state) {
    cameraTo({}, 5.0f);
    state.sceneObject->setVisible(true);
    state.quad(1).setVisible(false);
    FluidElement& fluid = *state.fluid;
    fluid.release();
    fluid.init(20, 20, 1.5f, 2.0f, 1.5f, state.random);
    streamSettings().applyTo(fluid);
    fluid.setDrawMode(Element::drawSmooth);
    fluid.setShowParticles(false);
    fluid.setPosition(0.0f, 0.0f, 0.0f);
    takeParticles(state);
    fluid.setVisible(true);
    placeStream(state);
    state.fluidObject->getFrame()->reset();
    state.fluidStep = 0.0f;
}

// The pour into the stone cup. The draw mode and the hidden particles stay as the stream left
// them.
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
    placePour(state);
    state.fluidObject->getFrame()->reset();
    state.fluidStep = state.framePeriod * 0.25f;
}

float risingAndFalling(float f) {
    const double wave = std::sin(3.14 * static_cast<double>(f));
    return static_cast<float>(wave * wave);
}

// What a phase does once, on its first frame.

void noEntry(DemoState& /*state*/) {}

void startFlowing(DemoState& state) {
    fade(0.0f);
    state.fluidStep = state.framePeriod * 0.5f;
}

void showParticles(DemoState& state) {
    state.fluid->setDrawMode(Element::drawWireframe);
    state.fluid->setShowParticles(true);
}

void freezeUnderTitle2(DemoState& state) {
    state.quad(2).setVisible(true);
    state.fluidStep = 0.0f;
}

void flowUnderTitle1(DemoState& state) {
    state.quad(1).setVisible(true);
    state.fluidStep = state.framePeriod * 0.5f;
}

void hideTitle2(DemoState& state) {
    state.quad(2).setVisible(false);
}

void clearFade(DemoState& /*state*/) {
    fade(0.0f);
}

// Gravity on and the step slowed by 1.7; title 3 put in place, still dark.
void letStreamFall(DemoState& state) {
    state.fluidStep = state.framePeriod * 0.5882352941176471f;
    state.fluid->setGravity(0.0f, -11.5f, 0.0f);
    state.quad(3).setVisible(true);
    state.quad(3).setPosition(100.0f, 150.0f);
}

void hideTitle3(DemoState& state) {
    state.quad(3).setVisible(false);
}

// Title 4 dark at the lower-left corner, and what is left of the fade cleared.
void showTitle4(DemoState& state) {
    state.quad(4).setVisible(true);
    state.quad(4).setPosition(0.0f, 0.0f);
    state.quad(4).setBrightness(0.0f);
    fade(0.0f);
}

void hideTitle4(DemoState& state) {
    state.quad(4).setVisible(false);
}

void startCredits(DemoState& state) {
    state.showCredits = true;
}

void endProgram(DemoState& /*state*/) {
    Renderer::instance().postQuitMessage(0);
}

// What a phase does on each of its frames, f being the fraction of it that has passed.

void noAction(DemoState& /*state*/, float /*f*/) {}

void fadeIn(DemoState& /*state*/, float f) {
    fade(1.0f - f);
}

void fadeOut(DemoState& /*state*/, float f) {
    fade(f);
}

void fadeInBlob(DemoState& state, float f) {
    fadeIn(state, f);
    pinBlob(state);
}

void tumbleAroundBlob(DemoState& /*state*/, float f) {
    cameraTo({{Axis::Y, 360.0f * f}, {Axis::Z, 360.0f * f}}, 5.0f);
}

// About two frames in three wireframe, one draw each frame.
void flicker(DemoState& state, float /*f*/) {
    const bool wireframe = state.random.next() % 3 != 0;
    state.fluid->setDrawMode(wireframe ? Element::drawWireframe : Element::drawSmooth);
}

void slideTitle2In(DemoState& state, float f) {
    state.particlePositions[6].set(1.1f * f, 1.1f * f, -1.1f * f);
    state.quad(2).setPosition(500.0f * f - 200.0f, 20.0f);
    state.quad(2).setBrightness(2.0f * f);
}

void dropTitle1(DemoState& state, float f) {
    state.quad(1).setPosition(400.0f, 500.0f - 490.0f * f);
    state.quad(1).setBrightness(2.0f * f);
    state.quad(2).setBrightness(1.0f - 3.0f * f);
}

void fadeInStream(DemoState& state, float f) {
    fadeIn(state, f);
    pinSpout(state);
}

void turnAroundFallingStream(DemoState& state, float f) {
    pinSpout(state);
    cameraTo({{Axis::Y, 720.0f * f}}, 5.0f);
    state.quad(3).setBrightness(risingAndFalling(f));
}

void circleStream(DemoState& state, float f) {
    pinSpout(state);
    cameraTo({{Axis::Y, 1440.0f * f}}, 5.0f);
}

void riseOverCup(DemoState& state, float f) {
    cameraTo({{Axis::X, 30.0f * f}}, 8.0f);
    state.quad(4).setPosition(500.0f * f, 525.0f * f);
    state.quad(4).setBrightness(risingAndFalling(f));
}

void circleCup(DemoState& /*state*/, float f) {
    cameraTo({{Axis::Y, 1440.0f * f}, {Axis::X, 30.0f}}, 8.0f);
}

void scrollCredits(DemoState& state, float f) {
    cameraTo({{Axis::Y, 720.0f * f}, {Axis::X, 30.0f}}, 8.0f);
    state.creditsScroll = static_cast<int>(500.0f * f);
}

struct PhaseActions {
    Phase phase;
    void (*enter)(DemoState& state);
    void (*during)(DemoState& state, float f);
};

// One row per phase, in the order they play.
constexpr PhaseActions schedule[] = {
    {Phase::BlobFadesIn, noEntry, fadeInBlob},
    {Phase::BlobTumbles, startFlowing, tumbleAroundBlob},
    {Phase::WireframeFlicker, noEntry, flicker},
    {Phase::ParticlesShown, showParticles, noAction},
    {Phase::TitleSlidesIn, freezeUnderTitle2, slideTitle2In},
    {Phase::TitleDrops, flowUnderTitle1, dropTitle1},
    {Phase::BlobFadesOut, hideTitle2, fadeOut},
    {Phase::StreamFadesIn, setUpStream, fadeInStream},
    {Phase::StreamWaits, clearFade, noAction},
    {Phase::StreamFalls, letStreamFall, turnAroundFallingStream},
    {Phase::StreamCircled, hideTitle3, circleStream},
    {Phase::StreamFadesOut, noEntry, fadeOut},
    {Phase::PourFadesIn, setUpPour, fadeIn},
    {Phase::CameraRises, showTitle4, riseOverCup},
    {Phase::PourCircled, hideTitle4, circleCup},
    {Phase::CreditsScroll, startCredits, scrollCredits},
    {Phase::CreditsFadeOut, noEntry, fadeOut},
    {Phase::End, endProgram, noAction},
};

constexpr bool rowsInPlayingOrder() {
    int index = 0;
    for (const PhaseActions& row : schedule) {
        if (phaseIndex(row.phase) != index++) {
            return false;
        }
    }
    return index == phaseIndex(Phase::End) + 1;
}
static_assert(rowsInPlayingOrder(), "one row per phase, each at its own index");

const PhaseActions& actionsOf(Phase phase) {
    return schedule[phaseIndex(phase)];
}

} // namespace

void demoTimeline() {
    DemoState& state = demoState();
    if (state.fluid != nullptr && state.fluid->isVisible()) {
        state.fluid->simulate(state.fluidStep);
    }
    state.phaseTime = state.demoTimer.elapsed() * 0.001f;
    if (state.phase < Phase::End && state.phaseTime > state.phaseLength()) {
        state.phaseTime = 0.0f;
        state.phase = nextPhase(state.phase);
        state.demoTimer.mark();
        actionsOf(state.phase).enter(state);
    }
    if (state.phase < Phase::End) {
        actionsOf(state.phase).during(state, state.phaseTime / state.phaseLength());
    }
}

} // namespace velmorra
