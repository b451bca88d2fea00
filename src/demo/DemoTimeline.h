#pragma once

namespace velmorra {

// The per-frame callback that plays the demo: it steps the liquid and runs the
// 17 phases of the schedule on the demo's own clock, then asks the program to end.
void demoTimeline();

} // namespace velmorra
