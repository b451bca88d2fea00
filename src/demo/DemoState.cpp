#include "demo/DemoState.h"

#include "demo/TexQuad2D.h"

namespace velmorra {

DemoState::DemoState() = default;
DemoState::~DemoState() = default;

void DemoState::reset() {
    phaseDurations = {};
    phase = Phase::BlobFadesIn;
    phaseTime = 0.0f;
    framePeriod = 0.0f;
    fluidStep = 0.0f;
    showCredits = false;
    creditsScroll = 0;
    demoTimer = Timer();
    random = Random();
    lightObject = fluidObject = sceneObject = cupObject = nullptr;
    light = nullptr;
    fluid = nullptr;
    starfield = nullptr;
    quads = {};
    particlePositions = particleVelocities = nullptr;
    particleCount = 0;
}

DemoState& demoState() {
    static DemoState state;
    return state;
}

} // namespace velmorra
