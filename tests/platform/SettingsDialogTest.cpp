#include "platform/SettingsDialog.h"
#include "platform/VideoSystem.h"
#include "app/Application.h"
#include "platform/Display.h"
#include "support/TempDirectory.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// From gdk/gdkx.h, whose X11 macros would clash with GoogleTest's names.
extern "C" unsigned long gdk_x11_window_get_xid(GdkWindow* window);

namespace velmorra {
namespace {

using namespace std::chrono_literals;

// The dialog is worked from inside its own main loop: the module calls the
// observer once a showing is on the screen, and the observer runs the test's
// steps, then presses Start or Quit.
std::vector<std::function<void(GtkWidget*)>> steps;
int showings = 0;
// Ends a showing that a failing test left open, so that the run goes on.
guint watchdog = 0;

void stopWatchdog() {
    if (watchdog != 0) {
        g_source_remove(watchdog);
        watchdog = 0;
    }
}

gboolean onWatchdog(gpointer window);

void observe(void* window) {
    stopWatchdog();
    watchdog = g_timeout_add_seconds(20, onWatchdog, window);
    const std::size_t showing = static_cast<std::size_t>(showings++);
    if (showing < steps.size()) {
        steps[showing](static_cast<GtkWidget*>(window));
    }
}

// Handles the dialog's events for a while, so that what was sent has arrived.
void pump(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(5ms);
    }
}

// Types `keys` into the dialog through the X server with xdotool, as a person would,
// while the dialog keeps handling its events. The dialog is named by its own X window,
// and the keys are typed by a second call: chained after a search, xdotool would send
// them to the found window as synthetic events instead.
void typeKeys(GtkWidget* window, const std::string& keys) {
    const unsigned long xid = gdk_x11_window_get_xid(gtk_widget_get_window(window));
    const std::string command = "xdotool windowfocus --sync " + std::to_string(xid) +
                                " >/dev/null 2>&1 && xdotool key --delay 40 " + keys +
                                " >/dev/null 2>&1";
    std::atomic<bool> done = false;
    int status = -1;
    std::thread typist([&] {
        status = std::system(command.c_str());
        done = true;
    });
    while (!done) {
        pump(10ms);
    }
    typist.join();
    EXPECT_EQ(status, 0) << command;
    pump(300ms);
}

GtkWidget* findControl(GtkWidget* widget, const char* id) {
    if (GTK_IS_BUILDABLE(widget)) {
        const char* name = gtk_buildable_get_name(GTK_BUILDABLE(widget));
        if (name != nullptr && std::string(name) == id) {
            return widget;
        }
    }
    if (!GTK_IS_CONTAINER(widget)) {
        return nullptr;
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    GtkWidget* found = nullptr;
    for (GList* child = children; child != nullptr && found == nullptr; child = child->next) {
        found = findControl(GTK_WIDGET(child->data), id);
    }
    g_list_free(children);
    return found;
}

GtkToggleButton* toggle(GtkWidget* window, const char* id) {
    GtkWidget* found = findControl(window, id);
    EXPECT_NE(found, nullptr) << id;
    return GTK_TOGGLE_BUTTON(found);
}

bool isChecked(GtkWidget* window, const char* id) {
    return gtk_toggle_button_get_active(toggle(window, id)) != FALSE;
}

void setChecked(GtkWidget* window, const char* id, bool checked) {
    gtk_toggle_button_set_active(toggle(window, id), checked ? TRUE : FALSE);
}

void press(GtkWidget* window, const char* id) {
    gtk_button_clicked(GTK_BUTTON(findControl(window, id)));
}

gboolean onWatchdog(gpointer window) {
    watchdog = 0;
    ADD_FAILURE() << "the dialog was still open after 20 s; pressing Quit";
    press(static_cast<GtkWidget*>(window), "quit");
    return G_SOURCE_REMOVE;
}

void expectDefaultsOnTheControls(GtkWidget* window) {
    EXPECT_FALSE(isChecked(window, "resolution640"));
    EXPECT_TRUE(isChecked(window, "resolution800"));
    EXPECT_FALSE(isChecked(window, "resolution1024"));
    EXPECT_TRUE(isChecked(window, "depth16"));
    EXPECT_FALSE(isChecked(window, "depth24"));
    EXPECT_FALSE(isChecked(window, "depth32"));
    EXPECT_TRUE(isChecked(window, "fullscreen"));
    EXPECT_TRUE(isChecked(window, "disableVsync"));
}

void expectSettings(const DisplaySettings& settings, int width, int height, int depth,
                    bool fullscreen, bool vsyncOff) {
    EXPECT_EQ(settings.width, width);
    EXPECT_EQ(settings.height, height);
    EXPECT_EQ(settings.depth, depth);
    EXPECT_EQ(settings.fullscreen, fullscreen);
    EXPECT_EQ(settings.vsyncOff, vsyncOff);
}

bool hasXServer() {
    return std::getenv("DISPLAY") != nullptr;
}

class SettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!hasXServer()) {
            GTEST_FAIL() << "no X server";
        }
        if (std::system("command -v xdotool >/dev/null") != 0) {
            GTEST_FAIL() << "xdotool is not installed";
        }
        steps.clear();
        showings = 0;
        setSettingsDialogObserver(observe);
    }
    void TearDown() override {
        stopWatchdog();
        setSettingsDialogObserver(nullptr);
    }

    // Shows the dialog once with `step` run inside it; returns its answer.
    bool show(std::function<void(GtkWidget*)> step) {
        steps = {std::move(step)};
        showings = 0;
        settings = DisplaySettings{0, 0, 0, false, false};
        const bool started = showSettingsDialog(nullptr, settings);
        stopWatchdog();
        return started;
    }

    DisplaySettings settings;
};

TEST_F(SettingsDialogTest, StartUntouchedYieldsTheDefaults) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        expectDefaultsOnTheControls(window);
        typeKeys(window, "alt+s");
    }));
    EXPECT_EQ(showings, 1);
    expectSettings(settings, 800, 600, 16, true, true);
}

TEST_F(SettingsDialogTest, LargestModeWindowedWithVsyncLeftOn) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        setChecked(window, "resolution1024", true);
        setChecked(window, "depth32", true);
        setChecked(window, "fullscreen", false);
        setChecked(window, "disableVsync", false);
        typeKeys(window, "alt+s");
    }));
    expectSettings(settings, 1024, 768, 32, false, false);
}

TEST_F(SettingsDialogTest, SmallestModeFromTheStartButton) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        setChecked(window, "resolution640", true);
        setChecked(window, "depth24", true);
        setChecked(window, "disableVsync", false);
        press(window, "start");
    }));
    expectSettings(settings, 640, 480, 24, true, false);
}

TEST_F(SettingsDialogTest, RadioButtonsKeepOneChoicePerGroup) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        setChecked(window, "resolution640", true);
        setChecked(window, "depth32", true);
        EXPECT_FALSE(isChecked(window, "resolution800"));
        EXPECT_FALSE(isChecked(window, "depth16"));
        press(window, "start");
    }));
    expectSettings(settings, 640, 480, 32, true, true);
}

TEST_F(SettingsDialogTest, AltQQuitsWithTheDefaultRecord) {
    EXPECT_FALSE(show([](GtkWidget* window) {
        setChecked(window, "resolution1024", true);
        typeKeys(window, "alt+q");
    }));
    expectSettings(settings, 800, 600, 16, true, true);
}

// If Escape had ended the dialog the answer would be Quit; if Enter had, the mode
// would be the default one. Both are ignored, so the choice made after them counts.
// The focus starts on the first tab stop, the Fullscreen box, which Enter leaves alone.
TEST_F(SettingsDialogTest, EscapeAndEnterLeaveItOpen) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(window)), findControl(window, "fullscreen"));
        for (const char* key : {"Escape", "Return", "KP_Enter"}) {
            typeKeys(window, key);
            EXPECT_TRUE(gtk_widget_get_visible(window)) << key;
            EXPECT_TRUE(isChecked(window, "fullscreen")) << key;
        }
        setChecked(window, "resolution640", true);
        typeKeys(window, "alt+s");
    }));
    expectSettings(settings, 640, 480, 16, true, true);
}

// Tab follows the layout's order; each radio group is one stop, at its checked button.
TEST_F(SettingsDialogTest, TabFollowsTheTemplateOrder) {
    EXPECT_FALSE(show([](GtkWidget* window) {
        for (const char* id :
             {"disableVsync", "start", "quit", "resolution800", "depth16", "fullscreen"}) {
            typeKeys(window, "Tab");
            EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(window)), findControl(window, id)) << id;
        }
        press(window, "quit");
    }));
}

// Enter presses the push button that has the focus.
TEST_F(SettingsDialogTest, EnterPressesTheFocusedButton) {
    EXPECT_FALSE(show([](GtkWidget* window) {
        gtk_widget_grab_focus(findControl(window, "quit"));
        typeKeys(window, "Return");
    }));
    EXPECT_TRUE(show([](GtkWidget* window) {
        gtk_widget_grab_focus(findControl(window, "start"));
        typeKeys(window, "KP_Enter");
    }));
}

TEST_F(SettingsDialogTest, WindowManagerCloseRequestDoesNothing) {
    EXPECT_TRUE(show([](GtkWidget* window) {
        GtkWidget* watched = window;
        g_object_add_weak_pointer(G_OBJECT(window), reinterpret_cast<gpointer*>(&watched));
        gtk_window_close(GTK_WINDOW(window));
        pump(200ms);
        ASSERT_NE(watched, nullptr) << "the close request destroyed the dialog";
        g_object_remove_weak_pointer(G_OBJECT(window), reinterpret_cast<gpointer*>(&watched));
        EXPECT_TRUE(gtk_widget_get_visible(window));
        press(window, "start");
    }));
}

TEST_F(SettingsDialogTest, EveryShowingStartsFromTheDefaults) {
    steps = {
        [](GtkWidget* window) {
            setChecked(window, "resolution1024", true);
            setChecked(window, "depth24", true);
            setChecked(window, "fullscreen", false);
            setChecked(window, "disableVsync", false);
            press(window, "start");
        },
        [](GtkWidget* window) {
            expectDefaultsOnTheControls(window);
            press(window, "quit");
        },
    };
    DisplaySettings first;
    EXPECT_TRUE(showSettingsDialog(nullptr, first));
    expectSettings(first, 1024, 768, 24, false, false);
    DisplaySettings second;
    EXPECT_FALSE(showSettingsDialog(nullptr, second));
    expectSettings(second, 800, 600, 16, true, true);
    EXPECT_EQ(showings, 2);
}

TEST_F(SettingsDialogTest, LooksLikeTheTemplate) {
    EXPECT_FALSE(show([](GtkWidget* widget) {
        GtkWindow* window = GTK_WINDOW(widget);
        EXPECT_FALSE(gtk_window_get_decorated(window)) << "no caption, no close box";
        EXPECT_TRUE(gtk_window_get_modal(window));
        EXPECT_FALSE(gtk_window_get_resizable(window));

        // 149 x 187 dialog units of Verdana 8 point, centred on the screen.
        int width = 0;
        int height = 0;
        gtk_window_get_size(window, &width, &height);
        EXPECT_EQ(width, 261);
        EXPECT_EQ(height, 304);
        int x = 0;
        int y = 0;
        gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
        GdkRectangle screen;
        gdk_monitor_get_geometry(gdk_display_get_monitor_at_window(gdk_display_get_default(),
                                                                   gtk_widget_get_window(widget)),
                                 &screen);
        EXPECT_NEAR(x, screen.x + (screen.width - width) / 2, 1);
        EXPECT_NEAR(y, screen.y + (screen.height - height) / 2, 1);

        // The picture at the left at its real size.
        GtkWidget* picture = findControl(widget, "picture");
        ASSERT_NE(picture, nullptr);
        GdkPixbuf* pixbuf = gtk_image_get_pixbuf(GTK_IMAGE(picture));
        ASSERT_NE(pixbuf, nullptr);
        EXPECT_EQ(gdk_pixbuf_get_width(pixbuf), 120);
        EXPECT_EQ(gdk_pixbuf_get_height(pixbuf), 300);
        GtkAllocation area;
        gtk_widget_get_allocation(picture, &area);
        EXPECT_LT(area.x + area.width, width / 2);

        EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(findControl(widget, "caption"))),
                     "Select display settings");
        const std::vector<std::pair<const char*, const char*>> labels = {
            {"resolution640", "640x480"},
            {"resolution800", "800x600"},
            {"resolution1024", "1024x768"},
            {"depth16", "16bpp"},
            {"depth24", "24bpp"},
            {"depth32", "32bpp"},
            {"fullscreen", "Fullscreen"},
            {"disableVsync", "Disable Vsync"},
            {"start", "_Start"},
            {"quit", "_Quit"},
        };
        for (const auto& [id, text] : labels) {
            EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(findControl(widget, id))), text) << id;
        }
        EXPECT_TRUE(gtk_button_get_use_underline(GTK_BUTTON(findControl(widget, "start"))));
        EXPECT_TRUE(gtk_button_get_use_underline(GTK_BUTTON(findControl(widget, "quit"))));
        EXPECT_EQ(gtk_window_get_default_widget(window), nullptr) << "no default button";

        // Verdana 8 point, whatever face fontconfig finds for it.
        PangoFontDescription* font = nullptr;
        gtk_style_context_get(gtk_widget_get_style_context(findControl(widget, "caption")),
                              GTK_STATE_FLAG_NORMAL, "font", &font, nullptr);
        ASSERT_NE(font, nullptr);
        EXPECT_STREQ(pango_font_description_get_family(font), "Verdana");
        EXPECT_EQ(pango_font_description_get_size(font), 8 * PANGO_SCALE);
        pango_font_description_free(font);

        press(widget, "quit");
    }));
}

// When it returns nothing of the dialog is left: no window, no pending event.
TEST_F(SettingsDialogTest, IsGoneWhenItReturns) {
    EXPECT_TRUE(show([](GtkWidget* window) { typeKeys(window, "alt+s"); }));
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* item = toplevels; item != nullptr; item = item->next) {
        EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(item->data)));
    }
    g_list_free(toplevels);
    EXPECT_FALSE(gtk_events_pending());
    const std::string ownDialog = "xdotool search --onlyvisible --pid " + std::to_string(getpid()) +
                                  " --name 'Velmorra display settings' >/dev/null 2>&1";
    EXPECT_NE(std::system(ownDialog.c_str()), 0) << "the X server still shows the dialog";
}

// A display that fails to open brings the dialog back, at its defaults.
TEST_F(SettingsDialogTest, FailedFullscreenOpenAnsweredNoShowsTheDefaultsAgain) {
    ASSERT_EQ(startVideoSystem(), 0);
    bool screenHas1024 = false;
    for (int index = 0; index < SDL_GetNumDisplayModes(0); ++index) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, index, &mode) == 0 && mode.w == 1024 && mode.h == 768) {
            screenHas1024 = true;
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (screenHas1024) {
        GTEST_SKIP() << "the screen takes 1024x768 full screen";
    }

    static int questions = 0;
    static const UserDialogs answerNo{[](const char*, const char*) {
                                          ++questions;
                                          return false;
                                      },
                                      [](const char*, const char*) {}};

    steps = {
        [](GtkWidget* window) {
            setChecked(window, "resolution1024", true);
            press(window, "start");
        },
        [](GtkWidget* window) {
            expectDefaultsOnTheControls(window);
            press(window, "quit");
        },
    };
    test::TempDirectory directory;
    // The program's own music player must not hold the audio device of later tests.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(runApplication({}, answerNo), 0);
    unsetenv("SDL_AUDIODRIVER");

    EXPECT_EQ(showings, 2);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(directory.readFile("debug.log"),
              "Selected display: 1024x768x16 (fullscreen,vsync OFF)\n"
              "Registering window class... ok\n"
              "Setting fullscreen mode... failed.\n"
              "Quitting.\n\n"
              "Unregistering window class... ok.\n"
              "\n-- OpenGL display DISABLED --\n\n");
}

} // namespace
} // namespace velmorra
