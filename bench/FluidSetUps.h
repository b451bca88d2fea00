#pragma once

// The liquid's three set-ups as the demo has them, after a warm-up, for the benchmarks of the
// native and of the browser build: A, the seven-particle blob; B, the stream; D, the pour.

#include "fluid/FluidSimulation.h"
#include "math/Random.h"

#include <algorithm>
#include <vector>

namespace velmorra::bench {

inline constexpr float framePeriod = 0.033333335f;

struct Placement {
    int first;
    int end;
    Vector3 centre;
    Vector3 spread;
};

// Like the demo: each particle takes draws r1, r2, r3, which give z, y and x in that order.
inline void place(FluidSimulation& fluid, const Placement& placement, Random& random) {
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
    fluid.getParticles(positions, velocities, count);
    for (int p = placement.first; p < placement.end && p < count; ++p) {
        const float r1 = static_cast<float>(random.next()) / Random::maxValue;
        const float r2 = static_cast<float>(random.next()) / Random::maxValue;
        const float r3 = static_cast<float>(random.next()) / Random::maxValue;
        positions[p].set(placement.centre.x + placement.spread.x * (0.5f - r3),
                         placement.centre.y + placement.spread.y * (0.5f - r2),
                         placement.centre.z + placement.spread.z * (0.5f - r1));
        velocities[p].set(0, 0, 0);
    }
}

inline void setPosition(FluidSimulation& fluid, int p, const Vector3& position) {
    Vector3* positions = nullptr;
    Vector3* velocities = nullptr;
    int count = 0;
    fluid.getParticles(positions, velocities, count);
    positions[p] = position;
}

// The seven-particle blob as it hangs at the start.
inline float setUpBlob(FluidSimulation& fluid, Random& random) {
    fluid.init(7, 22, 1.5f, 1.5f, 1.5f, random);
    fluid.setIsoLevel(12.0);
    fluid.setGravity(0, 0, 0);
    fluid.setMass(0.01f);
    fluid.setRestDistance(0.4f);
    fluid.setDamping(0.98f);
    fluid.setBounds(-100, 100, -100, 100, -100, 100);
    const Vector3 pinned[7] = {{1.05f, 0.02f, 0.03f},
                               {-1.06f, 0.01f, 0.03f},
                               {0.04f, 1.05f, 0.04f},
                               {0.02f, -1.03f, 0.03f},
                               {0.05f, 0.02f, 1.08f},
                               {0.01f, 0.03f, -1.01f},
                               {0, 0, 0}};
    for (int p = 0; p < 7; ++p) {
        setPosition(fluid, p, pinned[p]);
    }
    return framePeriod * 0.5f;
}

// The stream falling over the scene model.
inline float setUpStream(FluidSimulation& fluid, Random& random) {
    fluid.init(20, 20, 1.5f, 2.0f, 1.5f, random);
    fluid.setIsoLevel(36.0);
    fluid.setGravity(0, -11.5f, 0);
    fluid.setMass(0.01f);
    fluid.setRestDistance(0.35f);
    fluid.setDamping(0.94f);
    fluid.setBounds(-1.5f, 1.5f, -1.1f, 100, -1.5f, 1.5f);
    place(fluid, {0, 13, {0, 5, 0}, {1.4f, 1.4f, 1.4f}}, random);
    place(fluid, {13, 20, {0, 15, 0}, {1.4f, 1.4f, 1.4f}}, random);
    setPosition(fluid, 0, {0.25f, 1.5f, 0.25f});
    setPosition(fluid, 1, {0, 1.5f, 0.45f});
    setPosition(fluid, 2, {-0.25f, 1.5f, 0.25f});
    return framePeriod * 0.5882352941176471f;
}

// The pour into the cup: a block in the cup and a thin column falling into it.
inline float setUpPour(FluidSimulation& fluid, Random& random) {
    fluid.init(80, 25, 1.7f, 3.0f, 1.7f, random);
    fluid.setIsoLevel(34.0);
    fluid.setGravity(0, -100, 0);
    fluid.setMass(0.02f);
    fluid.setRestDistance(6.0f);
    fluid.setDamping(0.96f);
    fluid.setBounds(-1.1f, 1.1f, -2.2f, 1000, -1.1f, 1.1f);
    place(fluid, {0, 32, {0, 0, 0}, {1.4f, 1.4f, 1.4f}}, random);
    place(fluid, {32, 48, {0, 35, 0}, {0.2f, 50, 0.2f}}, random);
    place(fluid, {48, 80, {0, 95, 0}, {0.2f, 70, 0.2f}}, random);
    return framePeriod * 0.25f;
}

using SetUpFunction = float (*)(FluidSimulation&, Random&);

// A set-up and how many frames to run it first, so that the liquid is in the grid and moving.
struct SetUp {
    SetUpFunction build;
    int warmUpFrames;
};

inline const SetUp blob{setUpBlob, 30};
inline const SetUp stream{setUpStream, 90};
inline const SetUp pour{setUpPour, 120};

// Sums what the polygoniser hands out, standing in for glNormal3f and glVertex3f.
struct SummingSink {
    Vector3 total;
    void operator()(const Vector3& normal, const Vector3& vertex) {
        total.add(normal);
        total.add(vertex);
    }
};

// A set-up after its warm-up, with its particle state kept so that every iteration steps from
// the same point.
class LiquidFrame {
  public:
    LiquidFrame(SetUp setUp, FieldKernel kernel, WorkerPool* workers) {
        fluid.setFieldKernel(kernel);
        fluid.setFieldWorkers(workers);
        step = setUp.build(fluid, random);
        for (int frame = 0; frame < setUp.warmUpFrames; ++frame) {
            fluid.simulate(step);
        }
        const auto positions = fluid.getPositions();
        const auto velocities = fluid.getVelocities();
        startPositions.assign(positions.begin(), positions.end());
        startVelocities.assign(velocities.begin(), velocities.end());
    }

    void rewind() {
        Vector3* positions = nullptr;
        Vector3* velocities = nullptr;
        int count = 0;
        fluid.getParticles(positions, velocities, count);
        std::copy(startPositions.begin(), startPositions.end(), positions);
        std::copy(startVelocities.begin(), startVelocities.end(), velocities);
    }

    Random random{2024};
    FluidSimulation fluid;
    float step = 0.0f;

  private:
    std::vector<Vector3> startPositions;
    std::vector<Vector3> startVelocities;
};

} // namespace velmorra::bench
