#pragma once

#include "app/DisplaySettings.h"

namespace velmorra {

// Asks the user for the display mode. False means Quit (or no dialog could be
// shown); `settings` receives the dialog's record either way.
bool showSettingsDialog(const void* instance, DisplaySettings& settings);

} // namespace velmorra
