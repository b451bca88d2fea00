#pragma once

#include <cstdint>

namespace velmorra {

class WorkerPool;

// Builds the demo's scene into the program's renderer from the files in
// ./data: the light, the liquid, both models, the starfield and the title
// quads, with the camera, projection and frame rate, then starts the demo's
// clock. The current directory is the same afterwards.
// The demo's random numbers start from `seed`; the liquid shares its work with `workers`, which
// must outlive it (without them it runs on the calling thread). The demo's clock reads the
// renderer's surface's clock.
void setupScene(std::uint32_t seed, WorkerPool* workers = nullptr);

} // namespace velmorra
