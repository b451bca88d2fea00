#pragma once

#include "app/CommandLine.h"

namespace velmorra {

// The program's run sequence: log, settings dialog (unless the command line chose
// the settings), display, renderer, scene, music, frame loop, shut-down. Returns
// the process exit code.
int runApplication(const CommandLineOptions& options = {});

} // namespace velmorra
