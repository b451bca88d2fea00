#pragma once

namespace velmorra {

// The view a display starts with, whatever draws it: the whole drawable, a 60-degree
// perspective of its aspect, identity model-view. The scene sets its own projection later.
void applyStartView(int width, int height);

} // namespace velmorra
