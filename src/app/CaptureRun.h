#pragma once

#include "app/CommandLine.h"

namespace velmorra {

// The run sequence of a capture: log, offscreen display, renderer, scene, then every
// frame of the schedule on the frame clock, those of the chosen span read back and
// encoded with the music. Returns the exit code: 0 when the file is complete, 1 when
// it could not be made, 128 + the signal when Ctrl+C or SIGTERM ended it early (the
// file then holds what was captured).
int runCapture(const CommandLineOptions& options);

} // namespace velmorra
