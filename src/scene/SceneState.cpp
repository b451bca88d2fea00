#include "scene/SceneState.h"

namespace velmorra {

SceneState& sceneState() {
    static SceneState state;
    return state;
}

} // namespace velmorra
