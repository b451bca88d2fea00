#include "platform/SettingsDialog.h"

#include "platform/StartupTimings.h"

#include <utility>
#include <SDL2/SDL.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>

// The dialog's GResource bundle, generated from SettingsDialog.gresource.xml at build time.
extern "C" void velmorra_settings_dialog_register_resource(void);

namespace velmorra {

namespace {

constexpr const char* uiResource = "/org/velmorra/settings-dialog/SettingsDialog.ui";
constexpr const char* styleResource = "/org/velmorra/settings-dialog/SettingsDialog.css";

// How a showing ends: Start or Quit.
constexpr int startResult = 0;
constexpr int quitResult = -1;

// The module's record: set to the defaults when a showing begins and read from
// the controls by Start.
DisplaySettings record;
SettingsDialogObserver observer = nullptr;
SettingsDialogIdleWork idleWork;
std::optional<std::string> failure;

// Set by SIGINT or SIGTERM while a showing is up; read by its tick.
volatile std::sig_atomic_t quitSignalled = 0;

void onQuitSignal(int) {
    quitSignalled = 1;
}

struct Showing {
    GtkBuilder* builder = nullptr;
    GtkWidget* window = nullptr;
    bool onScreen = false;
    std::optional<int> result;
    // The handlers the quit signals had before the showing, given back after it.
    struct sigaction previousInterrupt {};
    struct sigaction previousTermination {};
};

GtkToggleButton* control(GtkBuilder* builder, const char* id) {
    return GTK_TOGGLE_BUTTON(gtk_builder_get_object(builder, id));
}

bool isChecked(GtkBuilder* builder, const char* id) {
    return gtk_toggle_button_get_active(control(builder, id)) != FALSE;
}

void check(GtkBuilder* builder, const char* id) {
    gtk_toggle_button_set_active(control(builder, id), TRUE);
}

std::string displayFailure() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* name = std::getenv(variable);
        if (name != nullptr && *name != '\0') {
            return std::string("cannot connect to display ") + name;
        }
    }
    return "no display";
}

// GTK is started once; a failed start (no display) is tried again at the next
// showing. GTK must not switch the process's locale: the log and the loaders
// format and read numbers the C way.
bool startGtk() {
    static bool attempted = false;
    static bool started = false;
    if (started) {
        return true;
    }
    if (!attempted) {
        attempted = true;
        gtk_disable_setlocale();
    }
    if (gtk_init_check(nullptr, nullptr) == FALSE) {
        failure = displayFailure();
        return false;
    }
    started = true;
    velmorra_settings_dialog_register_resource();
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_resource(style, styleResource);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
    return true;
}

// A showing begins with the defaults, on the controls and in the record.
void initialise(GtkBuilder* builder) {
    check(builder, "resolution800");
    check(builder, "depth16");
    check(builder, "fullscreen");
    check(builder, "disableVsync");
    record = DisplaySettings{800, 600, 16, true, true};
}

// Start: the controls into the record, each group tested in order.
void readControls(GtkBuilder* builder) {
    if (isChecked(builder, "resolution640")) {
        record.width = 640;
        record.height = 480;
    } else if (isChecked(builder, "resolution800")) {
        record.width = 800;
        record.height = 600;
    } else if (isChecked(builder, "resolution1024")) {
        record.width = 1024;
        record.height = 768;
    }
    if (isChecked(builder, "depth16")) {
        record.depth = 16;
    } else if (isChecked(builder, "depth24")) {
        record.depth = 24;
    } else if (isChecked(builder, "depth32")) {
        record.depth = 32;
    }
    record.fullscreen = isChecked(builder, "fullscreen");
    record.vsyncOff = isChecked(builder, "disableVsync");
}

void end(Showing& showing, int result) {
    if (!showing.result) {
        showing.result = result;
    }
}

void onStart(GtkButton*, gpointer data) {
    startupBegin();
    auto& showing = *static_cast<Showing*>(data);
    if (!showing.result) {
        readControls(showing.builder);
    }
    end(showing, startResult);
}

void onQuit(GtkButton*, gpointer data) {
    end(*static_cast<Showing*>(data), quitResult);
}

// The window manager's close request does nothing: the dialog has no close box.
gboolean onDeleteEvent(GtkWidget*, GdkEvent*, gpointer) {
    return TRUE;
}

// Escape and Enter do nothing; only Enter on a focused push button presses it.
gboolean onKeyPress(GtkWidget* window, GdkEventKey* event, gpointer data) {
    const auto& showing = *static_cast<const Showing*>(data);
    switch (event->keyval) {
    case GDK_KEY_Escape:
        return TRUE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
        const bool onButton =
            focus != nullptr &&
            (focus == GTK_WIDGET(gtk_builder_get_object(showing.builder, "start")) ||
             focus == GTK_WIDGET(gtk_builder_get_object(showing.builder, "quit")));
        if (onButton) {
            gtk_button_clicked(GTK_BUTTON(focus));
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// Whatever else destroys the window ends the showing as Quit.
void onDestroy(GtkWidget*, gpointer data) {
    auto& showing = *static_cast<Showing*>(data);
    showing.window = nullptr;
    end(showing, quitResult);
}

// While the dialog is up SIGINT and SIGTERM are its Quit. SDL turns them into a
// quit event, but only while its event system runs (the program's run starts
// it; a caller of the dialog alone may not); so the showing
// catches them itself, and also takes a quit event that SDL queued before it
// began. A signal the process was
// started to ignore (in the background of a script) stays ignored.
void catchQuitSignal(int signal, struct sigaction& previous) {
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

void catchQuitSignals(Showing& showing) {
    quitSignalled = 0;
    catchQuitSignal(SIGINT, showing.previousInterrupt);
    catchQuitSignal(SIGTERM, showing.previousTermination);
}

void releaseQuitSignals(const Showing& showing) {
    sigaction(SIGINT, &showing.previousInterrupt, nullptr);
    sigaction(SIGTERM, &showing.previousTermination, nullptr);
}

gboolean onTick(gpointer data) {
    SDL_PumpEvents();
    const bool sdlQuit = SDL_HasEvent(SDL_QUIT) == SDL_TRUE;
    SDL_FlushEvent(SDL_QUIT);
    if (sdlQuit || quitSignalled != 0) {
        end(*static_cast<Showing*>(data), quitResult);
    }
    return G_SOURCE_CONTINUE;
}

gboolean onMapEvent(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<Showing*>(data)->onScreen = true;
    return FALSE;
}

bool build(Showing& showing) {
    showing.builder = gtk_builder_new();
    GError* error = nullptr;
    if (gtk_builder_add_from_resource(showing.builder, uiResource, &error) == 0) {
        failure = std::string("its layout did not load: ") + error->message;
        g_clear_error(&error);
        return false;
    }
    showing.window = GTK_WIDGET(gtk_builder_get_object(showing.builder, "dialog"));
    if (showing.window == nullptr) {
        failure = "its layout has no dialog";
        return false;
    }
    g_signal_connect(gtk_builder_get_object(showing.builder, "start"), "clicked",
                     G_CALLBACK(onStart), &showing);
    g_signal_connect(gtk_builder_get_object(showing.builder, "quit"), "clicked", G_CALLBACK(onQuit),
                     &showing);
    g_signal_connect(showing.window, "delete-event", G_CALLBACK(onDeleteEvent), &showing);
    g_signal_connect(showing.window, "key-press-event", G_CALLBACK(onKeyPress), &showing);
    g_signal_connect(showing.window, "map-event", G_CALLBACK(onMapEvent), &showing);
    g_signal_connect(showing.window, "destroy", G_CALLBACK(onDestroy), &showing);
    return true;
}

// Runs the dialog modally until Start or Quit.
int run(Showing& showing) {
    catchQuitSignals(showing);
    initialise(showing.builder);
    GtkWindow* window = GTK_WINDOW(showing.window);
    gtk_window_set_keep_above(window, TRUE);
    gtk_widget_show_all(showing.window);
    // The first tab stop of the layout takes the focus.
    gtk_widget_grab_focus(GTK_WIDGET(gtk_builder_get_object(showing.builder, "fullscreen")));
    gtk_window_present(window);
    const guint ticks = g_timeout_add(100, onTick, &showing);
    bool observed = false;
    bool worked = false;
    while (!showing.result) {
        gtk_main_iteration_do(TRUE);
        if (idleWork && showing.onScreen && !worked && !showing.result) {
            worked = true;
            idleWork();
        }
        if (observer != nullptr && showing.onScreen && !observed && !showing.result) {
            observed = true;
            observer(showing.window);
        }
    }
    g_source_remove(ticks);
    releaseQuitSignals(showing);
    return *showing.result;
}

// Nothing of the dialog may be left when SDL makes the demo's window: the window
// is destroyed, the server has seen it go, and every pending event is handled.
void dismantle(Showing& showing) {
    if (showing.window != nullptr) {
        gtk_widget_destroy(showing.window);
    }
    if (showing.builder != nullptr) {
        g_object_unref(showing.builder);
    }
    gdk_display_sync(gdk_display_get_default());
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
}

} // namespace

bool showSettingsDialog(const void* /*instance*/, DisplaySettings& settings) {
    failure.reset();
    int result = quitResult;
    if (startGtk()) {
        Showing showing;
        if (build(showing)) {
            result = run(showing);
        }
        dismantle(showing);
    }
    settings = record;
    startupStep("settings dialog closed");
    return result != quitResult;
}

const char* settingsDialogFailure() {
    return failure ? failure->c_str() : nullptr;
}

void setSettingsDialogIdleWork(SettingsDialogIdleWork work) {
    idleWork = std::move(work);
}

void setSettingsDialogObserver(SettingsDialogObserver replacement) {
    observer = replacement;
}

} // namespace velmorra
