#pragma once

namespace velmorra::draw {

// The switches the demo turns on and off around what it draws.
enum class Feature {
    depthTest,
    lighting,
    cullFace,
    blending,
    texturing,
    texGenS,
    texGenT,
    polygonSmooth,
    lineSmooth,
    pointSmooth,
    colorMaterial,
    normalize,
    fog,
};

void enable(Feature feature);
void disable(Feature feature);

// One of the eight lights, 0 ... 7.
void enableLight(int slot);
void disableLight(int slot);

// Keeps the fog's settings (its switch included) until restoreFog.
void saveFog();
void restoreFog();

} // namespace velmorra::draw
