#pragma once

#include <cstdint>

namespace velmorra {

// Builds the demo's scene into the program's renderer from the files in
// ./data: the light, the liquid, both models, the starfield and the title
// quads, with the camera, projection and frame rate, then starts the demo's
// clock. The current directory is the same afterwards.
void setupScene();
// The same, with the demo's random numbers started from `seed` instead of the time.
void setupScene(std::uint32_t seed);

} // namespace velmorra
