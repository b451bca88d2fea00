#pragma once

#include "render/Color.h"

#include <array>
#include <string>

namespace velmorra {

class FluidElement;

// One look and behaviour of the liquid, as each of the demo's set-ups gives it.
struct FluidSettings {
    // One axis of the box the particles are kept in.
    struct Range {
        float low = 0.0f;
        float high = 0.0f;
    };

    // The box the particles are kept in.
    struct Box {
        Range x;
        Range y;
        Range z;
    };

    Color ambient;
    Color diffuse;
    Color specular;
    Color emission;
    double isoLevel = 0.0;
    std::array<float, 3> gravity{};
    float mass = 0.0f;
    float restDistance = 0.0f;
    float damping = 0.0f;
    Box bounds;
    std::string texture;

    // Hands the settings over in the order the liquid has always been given them.
    void applyTo(FluidElement& fluid) const;
};

} // namespace velmorra
