#pragma once

namespace velmorra {

// The program's run sequence: log, settings dialog, display, renderer, scene,
// music, frame loop, shut-down. Returns the process exit code.
int runApplication();

} // namespace velmorra
