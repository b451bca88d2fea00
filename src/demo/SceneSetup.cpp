#include "demo/SceneSetup.h"

namespace velmorra {

// The scene arrives with the demo's content; until then the frame loop draws
// an empty world.
void setupScene() {}

} // namespace velmorra
