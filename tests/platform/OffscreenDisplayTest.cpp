#include "platform/FrameClock.h"
#include "platform/MessageQueue.h"
#include "platform/OffscreenDisplay.h"
#include "platform/Timer.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmorra {
namespace {

int quitMessagesWaiting(GraphicsSurface& surface) {
    int quits = 0;
    Message message;
    while (surface.nextMessage(message)) {
        quits += message.kind == Message::Kind::Quit ? 1 : 0;
    }
    return quits;
}

// Hides the X server from what runs in its lifetime, and gives it back to the
// tests after it.
class NoXServer {
  public:
    NoXServer() : saved(std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "") {
        unsetenv("DISPLAY");
    }
    ~NoXServer() {
        if (!saved.empty()) {
            setenv("DISPLAY", saved.c_str(), 1);
        }
    }
    NoXServer(const NoXServer&) = delete;
    NoXServer& operator=(const NoXServer&) = delete;

  private:
    std::string saved;
};

// Draws frame after frame with no X server: the frames of the span reach the
// sink as glReadPixels gives them, the frame clock moves one frame per frame,
// the cap never waits, and the quit message follows the span's last frame.
TEST(OffscreenDisplay, RendersWithoutAnXServerOnTheFrameClock) {
    const NoXServer noXServer;
    test::LogCapture log;
    OffscreenDisplay display;
    std::string error;
    ASSERT_TRUE(display.open(64, 48, error)) << error;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 48);
    EXPECT_NE(display.getProcAddress("glActiveTextureARB"), nullptr);

    std::vector<std::vector<std::uint8_t>> frames;
    display.record(2, 4, [&](std::vector<std::uint8_t>&& rgba) {
        frames.push_back(std::move(rgba));
        return true;
    }, nullptr);
    Timer frameTimer{display.clock()};
    frameTimer.init();
    const float shades[] = {0.0f, 0.25f, 0.5f, 1.0f};
    for (const float shade : shades) {
        frameTimer.mark();
        glClearColor(shade, 0.0f, 1.0f - shade, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        display.present();
        display.waitForNextFrame(frameTimer, 1000.0f / 29.999998f);
        EXPECT_NEAR(frameTimer.elapsed(), 1000.0f / 30.0f, 1e-3f);
        EXPECT_EQ(quitMessagesWaiting(display), display.framesPresented() == 4 ? 1 : 0);
    }
    EXPECT_EQ(display.clock().milliseconds(), 4u * 1000u / 30u);
    ASSERT_EQ(frames.size(), 2u);
    for (std::size_t index = 0; index < 2; ++index) {
        ASSERT_EQ(frames[index].size(), 64u * 48u * 4u);
        EXPECT_EQ(frames[index][0], index == 0 ? 128 : 255);
        EXPECT_EQ(frames[index][2], index == 0 ? 128 : 0);
    }
    display.close();

    const std::string text = log.text();
    for (const char* step : {"Opening offscreen display... ok.\n", "Creating offscreen context... ok.\n",
                             "Creating offscreen buffer (64x48)... ok.\n",
                             "Activating offscreen context... ok.\n",
                             "-- OpenGL offscreen display ENABLED (64x48) --",
                             "Deactivating offscreen context... ok.\n",
                             "-- OpenGL offscreen display DISABLED --"}) {
        EXPECT_NE(text.find(step), std::string::npos) << step << "\n" << text;
    }
}

} // namespace
} // namespace velmorra
