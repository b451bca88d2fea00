#pragma once

namespace velmorra {

// The overlay callback: the four title quads, then the scrolling credits once
// the timeline has switched them on.
void creditsOverlay();

} // namespace velmorra
