#pragma once

#include "platform/DisplaySettings.h"

#include <functional>

namespace velmorra {

// Asks the user for the display mode in a small modal dialog (GTK 3), before any
// window of the demo exists. Every showing starts from the defaults. False means
// Quit, or that no dialog could be shown (no display, GTK cannot start); `settings`
// receives the dialog's record either way. When it returns, the dialog and its
// main loop are gone, with every pending event handled. SIGINT and SIGTERM while
// the dialog is up are its Quit.
bool showSettingsDialog(const void* instance, DisplaySettings& settings);

// Why the last showing could not be shown ("no display", ...), so that the caller
// can tell it from the user's Quit; null when it was shown.
const char* settingsDialogFailure();

// Work for the time the user looks at the dialog: called once per showing, inside the dialog's
// main loop, as soon as the dialog is on the screen. Null, the default, calls nothing.
using SettingsDialogIdleWork = std::function<void()>;
void setSettingsDialogIdleWork(SettingsDialogIdleWork work);

// For tests: called inside the dialog's main loop once a showing is on the screen,
// with the dialog's GtkWindow. Null, the default, calls nothing.
using SettingsDialogObserver = void (*)(void* dialogWindow);
void setSettingsDialogObserver(SettingsDialogObserver observer);

} // namespace velmorra
