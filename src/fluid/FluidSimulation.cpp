#include "fluid/FluidSimulation.h"

#include "math/Random.h"

#include <cmath>

namespace velmorra {

namespace {

// Closer than this, the pair force stops growing.
constexpr float nearestDistance = 0.05f;

float unitDraw() {
    return static_cast<float>(demoRandom().next()) / static_cast<float>(Random::maxValue);
}

} // namespace

void FluidSimulation::init(int count, int gridSize, float halfWidth, float halfHeight,
                           float halfDepth) {
    if (count < 1) {
        return;
    }
    release();
    particleCount = count;
    positions.assign(count, Vector3{});
    velocities.assign(count, Vector3{});
    forces.assign(count, Vector3{});
    const double x = halfWidth;
    const double y = halfHeight;
    const double z = halfDepth;
    radius = static_cast<float>(std::sqrt(x * x + y * y + z * z));
    grid.layOut(gridSize, halfWidth, halfHeight, halfDepth);
    placeParticles();
    initialized = true;
}

void FluidSimulation::release() {
    positions = {};
    velocities = {};
    forces = {};
    grid.clear();
    particleCount = 0;
    initialized = false;
}

// The draws come in the order z, y, x for each particle.
void FluidSimulation::placeParticles() {
    for (Vector3& position : positions) {
        const float r1 = unitDraw();
        const float r2 = unitDraw();
        const float r3 = unitDraw();
        position.set(0.5f - r3, 0.5f - r2, 0.5f - r1);
    }
}

void FluidSimulation::simulate(float dt) {
    if (!initialized) {
        return;
    }
    accumulateForces();
    integrate(dt);
    grid.computeField(positions, fieldKernel, fieldWorkers);
    grid.computeNormals();
}

// Every force is summed before any particle moves. The pair term pushes apart closer than the
// rest distance and pulls together beyond it; d is not clamped, so coincident particles exert
// nothing.
void FluidSimulation::accumulateForces() {
    const float inverseRest = 1.0f / restDistance;
    const float twiceMass = 2.0f * mass;
    const Vector3 weight = scaled(mass, gravity);
    for (int i = 0; i < particleCount; ++i) {
        Vector3 force;
        for (int j = 0; j < particleCount; ++j) {
            if (j == i) {
                continue;
            }
            const Vector3 d = difference(positions[i], positions[j]);
            float r = static_cast<float>(length(d));
            if (r < nearestDistance) {
                r = nearestDistance;
            }
            const float q = 1.0f / r;
            const float s = (q - inverseRest) * (q * q) * twiceMass;
            force.add(scaled(s, d));
        }
        force.add(weight);
        forces[i] = force;
    }
}

void FluidSimulation::integrate(float dt) {
    const float acceleration = dt / mass;
    for (int i = 0; i < particleCount; ++i) {
        Vector3& v = velocities[i];
        Vector3& p = positions[i];
        v = sum(scaled(damping, v), scaled(acceleration, forces[i]));
        p = sum(p, scaled(dt, v));
        bounce(p.x, v.x, bounds[0], bounds[1]);
        bounce(p.y, v.y, bounds[2], bounds[3]);
        bounce(p.z, v.z, bounds[4], bounds[5]);
    }
}

// Mirrors a coordinate that left [low, high] back inside and sends its velocity inwards, slowed.
void FluidSimulation::bounce(float& p, float& v, float low, float high) const {
    const auto kept = static_cast<float>(0.8 * damping);
    if (p < low) {
        p = 2.0f * low - p;
        v = std::fabs(v) * kept;
    }
    if (p > high) {
        p = 2.0f * high - p;
        v = -std::fabs(v) * kept;
    }
}

void FluidSimulation::getParticles(Vector3*& positionArray, Vector3*& velocityArray, int& count) {
    positionArray = initialized ? positions.data() : nullptr;
    velocityArray = initialized ? velocities.data() : nullptr;
    count = particleCount;
}

} // namespace velmorra
