#include "demo/SceneSetup.h"

#include "demo/DemoState.h"
#include "demo/FluidSettings.h"
#include "demo/Starfield.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "platform/StartupTimings.h"
#include "engine/Renderer.h"
#include "scene/LightElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsLoader.h"

#include <ctime>
#include <filesystem>
#include <memory>

namespace velmorra {

namespace {

constexpr std::array<float, DemoState::phaseCount> phaseLengths = {
    14.0f, 10.0f, 7.0f, 3.0f, 8.0f, 14.0f, 2.0f,  2.0f, 1.0f,
    10.0f, 15.0f, 2.0f, 2.0f, 8.0f, 40.0f, 20.0f, 4.0f};

struct QuadBand {
    float width;
    float height;
    float bottom; // of the band in texture coordinates; each band is a quarter high
};

constexpr QuadBand quadBands[DemoState::quadCount] = {
    {400.0f, 100.0f, 0.75f}, {280.0f, 70.0f, 0.5f}, {600.0f, 150.0f, 0.25f}, {280.0f, 70.0f, 0.0f}};

// Hands the object to the world and keeps a pointer for the timeline.
Object* addToWorld(std::unique_ptr<Object> object) {
    Object* placed = object.get();
    Renderer::instance().addObject(std::move(object));
    return placed;
}

// The seven-particle blob of the opening.
const FluidSettings& blobSettings() {
    static const FluidSettings settings{
        .ambient = {0.6f, 0.6f, 0.6f, 1.0f},
        .diffuse = {0.8f, 0.6f, 0.6f, 1.0f},
        .specular = {1.0f, 1.0f, 1.0f, 1.0f},
        .emission = {0.0f, 0.0f, 0.0f, 1.0f},
        .isoLevel = 12.0,
        .gravity = {0.0f, 0.0f, 0.0f},
        .mass = 0.01f,
        .restDistance = 0.4f,
        .damping = 0.98f,
        .bounds = {.x = {-100.0f, 100.0f}, .y = {-100.0f, 100.0f}, .z = {-100.0f, 100.0f}},
        .texture = "lava.bmp"};
    return settings;
}

Object* addLight(DemoState& state) {
    auto light = std::make_unique<LightElement>();
    light->setSpot(180, 60.0f, Vector3(-1.0f, -1.0f, 1.0f), true);
    light->setPosition(10.0f, 10.0f, -10.0f);
    light->setColor(1.0f, 1.0f, 1.0f);
    light->setAttenuation(1.0f, 0.0f, 0.0f);
    light->setFlags(true, false, false);
    light->setMarker(true);
    // It lights the scene, but its marker, glow and flare are never drawn.
    light->setVisible(false);
    state.light = light.get();
    auto object = std::make_unique<Object>();
    object->addElement(std::move(light));
    return addToWorld(std::move(object));
}

Object* addFluid(DemoState& state, WorkerPool* workers) {
    auto fluid = std::make_unique<FluidElement>();
    fluid->setFieldWorkers(workers);
    fluid->init(7, 22, 1.5f, 1.5f, 1.5f, state.random);
    blobSettings().applyTo(*fluid);
    fluid->setPosition(0.0f, 0.0f, 0.0f);
    fluid->getParticles(state.particlePositions, state.particleVelocities, state.particleCount);
    state.fluid = fluid.get();
    auto object = std::make_unique<Object>();
    object->addElement(std::move(fluid));
    object->getFrame()->rotateLocalY(10.0f);
    object->getFrame()->rotateLocalX(10.0f);
    return addToWorld(std::move(object));
}

Object* addModel(const char* fileName) {
    auto object = std::make_unique<Object>();
    load3ds(fileName, object.get());
    object->setVisible(false);
    return addToWorld(std::move(object));
}

void addStarfield(DemoState& state) {
    auto starfield = std::make_unique<Starfield>();
    starfield->build(50.0f, 1.0f, 10000, "dummy.bmp", 1.0f, state.random);
    state.starfield = starfield.get();
    Renderer::instance().setBackground(std::move(starfield));
}

void makeTitleQuads(DemoState& state) {
    for (std::size_t index = 0; index < state.quads.size(); ++index) {
        const QuadBand& band = quadBands[index];
        auto quad = std::make_unique<TexQuad2D>();
        quad->load("text.bmp");
        quad->setSize(band.width, band.height);
        quad->setTexCoord(0, 0.0f, band.bottom);
        quad->setTexCoord(1, 1.0f, band.bottom);
        quad->setTexCoord(2, 1.0f, band.bottom + 0.25f);
        quad->setTexCoord(3, 0.0f, band.bottom + 0.25f);
        quad->setVisible(false);
        state.quads[index] = std::move(quad);
    }
}

void setUpView(DemoState& state) {
    Renderer& renderer = Renderer::instance();
    renderer.setAmbient(0.6f, 0.6f, 0.6f);
    renderer.setProjection(45.0f, 0.5f, 1000.0f);
    renderer.getCamera().translateLocal(0.0f, 0.0f, -5.0f);
    state.framePeriod = 1.0f / 30.0f;
    state.fluidStep = 0.0f;
    renderer.setFrameRate(static_cast<float>(1.0 / state.framePeriod), false);
}

} // namespace

void setupScene(std::uint32_t seed, WorkerPool* workers) {
    DemoState& state = demoState();
    state.phaseDurations = phaseLengths;
    state.random.seed(seed);
    // The files, including the textures the models name, are read from ./data.
    // Going back to where we were, rather than one level up, keeps a missing
    // or linked data folder from leaving the program somewhere else.
    std::error_code error;
    const std::filesystem::path startDirectory = std::filesystem::current_path(error);
    std::filesystem::current_path("./data", error);
    state.lightObject = addLight(state);
    state.fluidObject = addFluid(state, workers);
    startupStep("light and liquid made");
    state.sceneObject = addModel("scene.3ds");
    startupStep("model scene.3ds loaded");
    state.cupObject = addModel("stonecup.3ds");
    startupStep("model stonecup.3ds loaded");
    addStarfield(state);
    startupStep("starfield built");
    makeTitleQuads(state);
    setUpView(state);
    startupStep("title quads and view set");
    state.demoTimer = Timer(Renderer::instance().getClock());
    state.demoTimer.init();
    state.demoTimer.mark();
    std::filesystem::current_path(startDirectory, error);
}

} // namespace velmorra
