#pragma once

namespace velmorra {

// Builds the demo's scene into the program's renderer.
void setupScene();

} // namespace velmorra
