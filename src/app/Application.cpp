#include "app/Application.h"

#include "platform/DataFolder.h"
#include "platform/EventSystem.h"
#include "platform/Log.h"
#include "platform/SettingsDialog.h"
#include "platform/ShellObjects.h"
#include "platform/WindowSurface.h"
#include "platform/WorkingDirectory.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoTimeline.h"
#include "demo/SceneSetup.h"
#include "engine/Renderer.h"
#include "render/TexManager.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace velmorra {

namespace {

constexpr char programTitle[] = "Velmorra by Korblint2002";
constexpr const char* musicFile = "./data/amns.mp3";

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
    setSettingsDialogIdleWork([] { shellObjects().display.prepare(); });
    if (!openDisplay(display, title)) {
        display.releasePreparation();
        return false;
    }
    return true;
}

} // namespace

void logGlIdentification() {
    const auto glString = [](GLenum name) {
        const auto* text = reinterpret_cast<const char*>(glGetString(name));
        return text != nullptr ? text : "";
    };
    writeText("OpenGL version: ");
    writeText(glString(GL_VERSION));
    writeText("\nRenderer: ");
    writeText(glString(GL_RENDERER));
    writeText("\nVendor: ");
    writeText(glString(GL_VENDOR));
    writeText("\nExtensions: ");
    writeText(glString(GL_EXTENSIONS));
    writeText("\n\n");
}

int runApplication(const CommandLineOptions& options) {
    // The texture cache is made first so that it outlives every texture holder.
    TexManager::instance();
    ShellObjects& shell = shellObjects();
    // From here to the end of the run Ctrl+C and SIGTERM are SDL's quit event, a close request to
    // the frame loop, whether or not the music player found an audio device.
    const EventSystem events;
    openLog();
    // The content is loaded by the same relative names wherever it is installed;
    // the start directory is restored when the run ends.
    const WorkingDirectory contentFolder(DataFolder::locate());
    char title[sizeof programTitle];
    std::copy(std::begin(programTitle), std::end(programTitle), title);
    if (options.noDialog) {
        // There is no dialog to go back to when the display fails.
        if (!openDisplayAsChosen(shell.display, options.display, title)) {
            std::fputs("velmorra: the display could not be opened (see debug.log)\n", stderr);
            closeLog();
            return 1;
        }
    } else if (!openDisplayFromTheDialog(shell.display, title)) {
        closeLog();
        return exitCodeWithoutDisplay();
    }
    Renderer& renderer = Renderer::instance();
    WindowSurface window(shell.display.getDeviceContext());
    renderer.init(&window);
    options.seed ? setupScene(*options.seed) : setupScene();
    shell.sound.play(musicFile);
    renderer.setCallback(0, demoTimeline);
    renderer.setCallback(1, creditsOverlay);
    logGlIdentification();
    renderer.run();
    renderer.shutdown();
    shell.display.close();
    closeLog();
    return 0;
}

} // namespace velmorra
