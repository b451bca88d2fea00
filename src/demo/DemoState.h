#pragma once

#include "demo/Phase.h"
#include "platform/Timer.h"
#include "math/Random.h"
#include "math/Vector3.h"

#include <array>
#include <memory>

namespace velmorra {

class FluidElement;
class LightElement;
class Object;
class Starfield;
class TexQuad2D;

// What scene setup, the timeline and the credits share: the schedule, the
// demo's own clock and pointers to what setup built. The objects belong to the
// world; the title quads belong to this record and live until the program ends.
struct DemoState {
    // The phases that play, each for its own length; End follows them.
    static constexpr int phaseCount = phaseIndex(Phase::End);
    static constexpr int quadCount = 4;

    DemoState();
    ~DemoState();
    DemoState(const DemoState&) = delete;
    DemoState& operator=(const DemoState&) = delete;

    // Back to the state before setup: nothing built, phase 0, the quads gone.
    void reset();

    std::array<float, phaseCount> phaseDurations{};
    Phase phase = Phase::BlobFadesIn;
    float phaseTime = 0.0f;
    float framePeriod = 0.0f;
    float fluidStep = 0.0f;
    bool showCredits = false;
    int creditsScroll = 0;
    Timer demoTimer;
    // Every random draw of the demo, in program order: the liquid's placements, the starfield,
    // the timeline's flicker and placements. Seeded by scene setup.
    Random random;
    Object* lightObject = nullptr;
    Object* fluidObject = nullptr;
    Object* sceneObject = nullptr;
    Object* cupObject = nullptr;
    LightElement* light = nullptr;
    FluidElement* fluid = nullptr;
    Starfield* starfield = nullptr;
    std::array<std::unique_ptr<TexQuad2D>, quadCount> quads;
    Vector3* particlePositions = nullptr;
    Vector3* particleVelocities = nullptr;
    int particleCount = 0;

    // How long the current phase plays. Only the played phases have a length: not End.
    float phaseLength() const {
        return phaseDurations[static_cast<std::size_t>(phaseIndex(phase))];
    }

    // Quad 1 to 4, as the schedule counts them.
    TexQuad2D& quad(int number) const { return *quads[static_cast<std::size_t>(number - 1)]; }
};

// The demo's one record, made on first use.
DemoState& demoState();

} // namespace velmorra
