#include "app/Application.h"

#include "app/RunSequence.h"
#include "platform/Display.h"
#include "platform/EventSystem.h"
#include "platform/Log.h"
#include "platform/SettingsDialog.h"
#include "platform/Sound.h"
#include "platform/WindowSurface.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace velmorra {

namespace {

constexpr char programTitle[] = "Velmorra by Korblint2002";

void logSelectedDisplay(const DisplaySettings& settings) {
    write("Selected display: %dx%dx%d ", settings.width, settings.height, settings.depth);
    write(settings.fullscreen ? "(fullscreen," : "(windowed,");
    write(settings.vsyncOff ? "vsync OFF)\n" : "vsync ON)\n");
}

// The dialog's choice, or with --no-dialog the command line's settings standing in for it.
bool openDisplayAsChosen(Display& display, const DisplaySettings& settings, const char* title) {
    display.configure(settings.width, settings.height, settings.depth, settings.fullscreen,
                      settings.vsyncOff, title);
    logSelectedDisplay(settings);
    return display.open();
}

// Shows the settings dialog until the display opens; false when the user quits.
bool openDisplay(Display& display, const char* title) {
    for (;;) {
        DisplaySettings settings;
        if (!showSettingsDialog(&display, settings)) {
            return false;
        }
        if (openDisplayAsChosen(display, settings, title)) {
            return true;
        }
    }
}

// The user's Quit ends the run normally; a dialog that could not be shown is a
// failure, said where a user starting the program sees it.
int exitCodeWithoutDisplay() {
    const char* failure = settingsDialogFailure();
    if (failure == nullptr) {
        return 0;
    }
    std::fprintf(stderr, "velmorra: cannot open the settings dialog: %s\n", failure);
    return 1;
}

// The dialog until the display opens; the display is prepared while the dialog
// is up, and what was prepared is given back when the user quits.
bool openDisplayFromTheDialog(Display& display, const char* title) {
    // Only once the dialog is up is there surely a display to prepare for.
    setSettingsDialogIdleWork([&display] { display.prepare(); });
    const bool opened = openDisplay(display, title);
    setSettingsDialogIdleWork(nullptr);
    if (!opened) {
        display.releasePreparation();
    }
    return opened;
}

} // namespace

int runApplication(const CommandLineOptions& options, const UserDialogs& dialogs) {
    // Made before anything else runs: the music player initialises its library here.
    Display display;
    Sound sound;
    display.setDialogs(dialogs);
    display.useBackend(options.renderer);
    // From here to the end of the run Ctrl+C and SIGTERM are SDL's quit event, a close request to
    // the frame loop, whether or not the music player found an audio device.
    const EventSystem events;
    RunSequence run;
    char title[sizeof programTitle];
    std::copy(std::begin(programTitle), std::end(programTitle), title);
    if (options.noDialog) {
        // There is no dialog to go back to when the display fails.
        if (!openDisplayAsChosen(display, options.display, title)) {
            std::fputs("velmorra: the display could not be opened (see debug.log)\n", stderr);
            return 1;
        }
    } else if (!openDisplayFromTheDialog(display, title)) {
        return exitCodeWithoutDisplay();
    }
    WindowSurface window(display.getDeviceContext());
    RunSequence::Hooks hooks;
    hooks.startMusic = [&sound] { sound.play(RunSequence::musicFile); };
    run.play(window, options.seed, hooks);
    display.close();
    return 0;
}

} // namespace velmorra
