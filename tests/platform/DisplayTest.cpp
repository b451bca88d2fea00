#include "platform/Display.h"
#include "platform/VideoSystem.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmorra {
namespace {

// Answers the display's questions as a test tells it to, and records what it saw.
struct ScriptedUser {
    static inline bool answerYes = true;
    static inline int questions = 0;
    static inline std::string lastCaption;
    static inline bool contextGoneWhenTold = false;

    static bool ask(const char* /*text*/, const char* caption) {
        ++questions;
        lastCaption = caption;
        return answerYes;
    }
    static void tell(const char* /*text*/, const char* caption) {
        lastCaption = caption;
        contextGoneWhenTold = SDL_GL_GetCurrentContext() == nullptr;
    }
    static const UserDialogs& dialogs() {
        static const UserDialogs scripted{ask, tell};
        return scripted;
    }
};

bool noAcceleration() {
    return false;
}

bool hasXServer() {
    return SDL_getenv("DISPLAY") != nullptr;
}

class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!hasXServer()) {
            GTEST_FAIL() << "no X server";
        }
        ScriptedUser::answerYes = true;
        ScriptedUser::questions = 0;
        ScriptedUser::lastCaption.clear();
        display.setDialogs(ScriptedUser::dialogs());
    }

    test::LogCapture log;
    Display display;
};

const char* const windowedStartup = "Registering window class... ok\n"
                                    "Creating window... ok.\n"
                                    "Creating a device context... ok.\n"
                                    "Choosing pixel format... ok.\n"
                                    "Setting pixel format... ok.\n"
                                    "Creating rendering context... ok.\n"
                                    "Activating rendering context... ok.\n"
                                    "\nPixel format description\nColor buffer: ";

const char* const teardown = "Deactivating rendering context... ok.\n"
                             "Releasing rendering context... ok.\n"
                             "Releasing device context... ok.\n"
                             "Destroying window... ok.\n"
                             "Unregistering window class... ok.\n"
                             "\n-- OpenGL display DISABLED --\n\n";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(DisplayTest, WindowedStartupAndTeardownProtocol) {
    display.configure(640, 480, 32, false, true, "Velmorra test");
    ASSERT_TRUE(display.open());
    EXPECT_NE(display.getDeviceContext(), nullptr);
    EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    display.close();
    display.close();
    EXPECT_EQ(display.getDeviceContext(), nullptr);

    const std::string text = log.text();
    EXPECT_EQ(text.rfind(windowedStartup, 0), 0u) << text;
    EXPECT_NE(text.find("\nDepth buffer: "), std::string::npos);
    EXPECT_NE(text.find("\nStencil buffer: 0\nAccumulation buffer: 0\n\n"), std::string::npos);
    const bool vsyncLine =
        text.find("Vsync disabled (SDL_GL_SetSwapInterval)\n") != std::string::npos ||
        text.find("Vsync unchanged (SDL_GL_SetSwapInterval not supported)\n") != std::string::npos;
    EXPECT_TRUE(vsyncLine) << text;
    EXPECT_NE(text.find("\n-- OpenGL display ENABLED --\n\n" + std::string(teardown)),
              std::string::npos)
        << text;
    EXPECT_TRUE(endsWith(text, teardown)) << "the second close writes nothing";
}

TEST_F(DisplayTest, VsyncLeftAloneWhenNotAskedFor) {
    display.configure(320, 240, 16, false, false, "t");
    ASSERT_TRUE(display.open());
    display.close();
    EXPECT_EQ(log.text().find("Vsync"), std::string::npos);
}

TEST_F(DisplayTest, ConfigureWhileOpenChangesNothing) {
    display.configure(320, 240, 16, false, false, "t");
    ASSERT_TRUE(display.open());
    display.configure(1024, 768, 32, true, true, "other");
    EXPECT_EQ(display.getWidth(), 320);
    EXPECT_FALSE(display.isFullscreen());
    display.close();
}

TEST_F(DisplayTest, MissingFullscreenModeAnsweredYesOpensAWindow) {
    display.configure(1016, 712, 16, true, false, "t");
    ASSERT_TRUE(display.open());
    EXPECT_EQ(ScriptedUser::questions, 1);
    EXPECT_EQ(ScriptedUser::lastCaption, "Question");
    EXPECT_FALSE(display.isFullscreen());
    EXPECT_EQ(SDL_GetWindowFlags(display.getDeviceContext()) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    display.close();
    EXPECT_EQ(log.text().rfind("Registering window class... ok\n"
                               "Setting fullscreen mode... failed.\n"
                               "Using windowed mode.\n"
                               "Creating window... ok.\n",
                               0),
              0u);
}

TEST_F(DisplayTest, MissingFullscreenModeAnsweredNoQuitsAndALaterOpenWorks) {
    ScriptedUser::answerYes = false;
    display.configure(1016, 712, 16, true, false, "t");
    EXPECT_FALSE(display.open());
    EXPECT_EQ(display.getDeviceContext(), nullptr);
    display.configure(320, 240, 16, false, false, "t");
    EXPECT_TRUE(display.open());
    display.close();
    const std::string text = log.text();
    EXPECT_EQ(text.rfind("Registering window class... ok\n"
                         "Setting fullscreen mode... failed.\n"
                         "Quitting.\n\n"
                         "Unregistering window class... ok.\n"
                         "\n-- OpenGL display DISABLED --\n\n"
                         "Registering window class... ok\n"
                         "Creating window... ok.\n",
                         0),
              0u)
        << text;
    EXPECT_TRUE(endsWith(text, "Unregistering window class... ok.\n"))
        << "after a failed open the instance is gone, so no second DISABLED line";
}

TEST_F(DisplayTest, FullscreenModeTheScreenHasIsTaken) {
    ASSERT_EQ(startVideoSystem(), 0);
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    display.configure(desktop.w, desktop.h, 24, true, true, "t");
    ASSERT_TRUE(display.open());
    EXPECT_EQ(ScriptedUser::questions, 0);
    EXPECT_TRUE(display.isFullscreen());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    display.close();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_NE(log.text().find("Setting fullscreen mode... ok.\nCreating window... ok.\n"),
              std::string::npos);
}

TEST_F(DisplayTest, SoftwareOnlyFormatFailsAfterTheDescription) {
    display.setAccelerationProbe(noAcceleration);
    display.configure(320, 240, 16, false, true, "t");
    EXPECT_FALSE(display.open());
    EXPECT_EQ(ScriptedUser::lastCaption, "Info");
    EXPECT_TRUE(ScriptedUser::contextGoneWhenTold);
    EXPECT_EQ(display.getDeviceContext(), nullptr);
    const std::string text = log.text();
    EXPECT_NE(text.find("Accumulation buffer: 0\n\nNo hardware acceleration found.\n"
                        "Deactivating rendering context... ok.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Vsync"), std::string::npos);
    EXPECT_EQ(text.find("ENABLED"), std::string::npos);
}

// Mesa picks its rasteriser from the environment once per process, so each one is
// tried in a fresh process: the "threadsafe" death-test style runs the statement
// in a new execution of this program. The child tells the parent what it saw.
[[noreturn]] void openOnRasterizer(const char* driver) {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", driver, 1);
    std::string report;
    bool opened = false;
    {
        test::LogCapture log;
        Display display;
        display.setDialogs(ScriptedUser::dialogs());
        display.configure(320, 240, 24, false, false, "t");
        opened = display.open();
        if (opened) {
            report = "renderer: " +
                     std::string(reinterpret_cast<const char*>(glGetString(GL_RENDERER))) + "\n";
        }
        display.close();
        report += log.text() + "told: " + ScriptedUser::lastCaption + "\n";
    }
    std::fputs(report.c_str(), stderr);
    std::_Exit(opened ? 0 : 1);
}

TEST(DisplayDeathTest, RefusesSoftpipeAndTakesLlvmpipe) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X server";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(openOnRasterizer("softpipe"), ::testing::ExitedWithCode(1),
                "Accumulation buffer: 0\n\nNo hardware acceleration found\\.\n"
                "Deactivating rendering context.*told: Info\n");
    EXPECT_EXIT(openOnRasterizer("llvmpipe"), ::testing::ExitedWithCode(0),
                "renderer: llvmpipe.*-- OpenGL display ENABLED --.*told: \n");
}

TEST_F(DisplayTest, ResizeWithZeroHeightUsesOne) {
    display.configure(320, 240, 16, false, false, "t");
    ASSERT_TRUE(display.open());
    display.resize(300, 0);
    EXPECT_EQ(display.getHeight(), 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective puts f / aspect in the first element, f = cot(30 degrees).
    EXPECT_NEAR(projection[0], 1.7320508f / 300.0f, 1e-6f);
    EXPECT_NEAR(projection[5], 1.7320508f, 1e-5f);
    display.close();
}

TEST_F(DisplayTest, CloseBeforeOpenOnlyMarksTheDisplayDisabled) {
    display.close();
    display.close();
    EXPECT_EQ(log.text(), "\n-- OpenGL display DISABLED --\n\n");
}

} // namespace
} // namespace velmorra
