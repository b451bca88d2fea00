#pragma once

#include "app/CommandLine.h"
#include "platform/UserDialogs.h"

namespace velmorra {

// The program's run sequence: log, settings dialog (unless the command line chose
// the settings), display, renderer, scene, music, frame loop, shut-down. Returns
// the process exit code.
// The display asks and tells the user through `dialogs` (message boxes).
int runApplication(const CommandLineOptions& options = {},
                   const UserDialogs& dialogs = UserDialogs::system());

} // namespace velmorra
