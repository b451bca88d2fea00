#pragma once

namespace velmorra {

// Starts SDL's video subsystem on an X or Wayland server; 0 on success, as SDL_InitSubSystem.
// A window nobody can see is no display: without a server SDL would fall back to its offscreen
// driver and play the demo invisibly, so only x11 and wayland are tried (SDL_VIDEODRIVER still
// chooses when it is set). An X server that has just seen a client go refuses the next
// connection now and then (Xvfb about one time in four when connections follow each other
// closely), so a refused start is tried again a few times before it counts as a failure.
int startVideoSystem();

} // namespace velmorra
