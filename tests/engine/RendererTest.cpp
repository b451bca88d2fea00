#include "engine/Renderer.h"
#include "platform/MessageQueue.h"
#include "scene/TestElements.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using test::GlTestContext;

using test::glInteger;

GLfloat texGenMode(GLenum coordinate) {
    GLint mode = 0;
    glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &mode);
    return static_cast<GLfloat>(mode);
}

// What the per-frame callbacks saw, in order.
struct FrameRecorder {
    static inline std::vector<std::string> calls;
    static inline int frames = 0;
    static inline int quitAfter = 0;
    static inline const Renderer* renderer = nullptr;
    static inline MessageQueue* quitQueue = nullptr;
    static inline std::vector<float> rates;
    static inline std::vector<std::chrono::system_clock::time_point> times;

    static void before() {
        calls.push_back("before");
        ++frames;
        if (frames == quitAfter) {
            quitQueue->postQuit(7);
        }
    }
    static void overlay() {
        calls.push_back("overlay");
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_PROJECTION);
        GLfloat color[4];
        glGetFloatv(GL_CURRENT_COLOR, color);
        EXPECT_EQ(color[0], 1.0f);
        EXPECT_EQ(color[1], 0.0f);
    }
    static void unexpected() { calls.push_back("unexpected"); }
    static void printZeroRate() { renderer->getFont().print(650, 570, "FPS: 0.00"); }
    static void recordRate() {
        rates.push_back(renderer->getFrameRate());
        times.push_back(std::chrono::system_clock::now());
        if (static_cast<int>(rates.size()) == quitAfter) {
            quitQueue->postQuit(0);
        }
    }
    static void turnCameraAround() { Renderer::instance().getCamera().rotateLocalY(180.0f); }
    // A white quad over the left half of the overlay.
    static void whiteLeftHalf() {
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex2f(0.0f, 0.0f);
        glVertex2f(400.0f, 0.0f);
        glVertex2f(400.0f, 600.0f);
        glVertex2f(0.0f, 600.0f);
        glEnd();
    }
};

class RendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORRA_REQUIRE_GL(gl);
        FrameRecorder::calls.clear();
        FrameRecorder::frames = 0;
        FrameRecorder::quitAfter = 0;
        FrameRecorder::rates.clear();
        FrameRecorder::times.clear();
        FrameRecorder::quitQueue = &gl.surface().messages();
        ASSERT_TRUE(renderer.init(&gl.surface()));
    }

    test::LogCapture log;
    GlTestContext gl;
    Renderer renderer;
};

TEST_F(RendererTest, InitSetsTheBaselineState) {
    for (const GLenum on : {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_TEXTURE_2D}) {
        EXPECT_TRUE(glIsEnabled(on)) << on;
    }
    for (const GLenum off : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_POLYGON_SMOOTH, GL_LINE_SMOOTH,
                             GL_POINT_SMOOTH, GL_COLOR_MATERIAL}) {
        EXPECT_FALSE(glIsEnabled(off)) << off;
    }
    EXPECT_EQ(glInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(glInteger(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(glInteger(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(glInteger(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(glInteger(GL_POINT_SMOOTH_HINT), GL_NICEST);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_EQ(texGenMode(GL_S), GL_SPHERE_MAP);
    EXPECT_EQ(texGenMode(GL_T), GL_SPHERE_MAP);
    EXPECT_EQ(glInteger(GL_LIGHT_MODEL_LOCAL_VIEWER), GL_FALSE);
    EXPECT_EQ(glInteger(GL_LIGHT_MODEL_TWO_SIDE), GL_FALSE);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(renderer.getViewport()[2], gl.width());
    EXPECT_EQ(renderer.getViewport()[3], gl.height());
    EXPECT_TRUE(renderer.getFont().isCreated());
}

TEST_F(RendererTest, InitLogsTheExtensionProbeAndTheClock) {
    const std::string text = log.text();
    const bool probed = text.rfind("Requested multitexturing features supported: ", 0) == 0 ||
                        text.rfind("Requested multitexturing features not supported.\n", 0) == 0;
    EXPECT_TRUE(probed) << text;
    EXPECT_NE(text.find(" texture units, GL_ADD texenv.\n") == std::string::npos,
              renderer.getMultitexture().supported);
    EXPECT_NE(text.find("Query performance timer: found, using performance timer.\n"),
              std::string::npos);
}

TEST(RendererInit, NullDeviceContextIsRefusedAndLogged) {
    test::LogCapture log;
    Renderer renderer;
    EXPECT_FALSE(renderer.init(nullptr));
    renderer.shutdown();
    EXPECT_EQ(log.text(), "Null device handle, init failed.\n");
}

TEST_F(RendererTest, CallbacksRunInOrderAndTheOverlayStateIsRestored) {
    renderer.setCallback(0, FrameRecorder::before);
    renderer.setCallback(1, FrameRecorder::overlay);
    renderer.setCallback(2, FrameRecorder::unexpected);
    renderer.setCallback(-1, FrameRecorder::unexpected);
    renderer.drawFrame();
    EXPECT_EQ(FrameRecorder::calls, (std::vector<std::string>{"before", "overlay"}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "whatever draws textured next enables it";
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    renderer.setCallback(1, nullptr);
    FrameRecorder::calls.clear();
    renderer.drawFrame();
    EXPECT_EQ(FrameRecorder::calls, (std::vector<std::string>{"before"}));
}

TEST_F(RendererTest, FadeWithAlphaZeroDrawsNothing) {
    renderer.setCallback(1, FrameRecorder::whiteLeftHalf);
    renderer.setFade(1.0f, 1.0f, 1.0f, 0.0f);
    renderer.drawFrame();
    std::vector<std::uint8_t> pixels = gl.readPixels();
    EXPECT_EQ(gl.pixelAt(pixels, 100, 300)[0], 255);
    EXPECT_EQ(gl.pixelAt(pixels, 700, 300)[0], 0) << "no fade quad over the black half";
}

TEST_F(RendererTest, OpaqueBlackFadeHidesTheOverlayAndTheFrameRate) {
    renderer.setCallback(1, FrameRecorder::whiteLeftHalf);
    renderer.setFrameRate(30.0f, true);
    renderer.setFade(0.0f, 0.0f, 0.0f, 1.0f);
    renderer.drawFrame();
    EXPECT_EQ(gl.countNonBlack(gl.readPixels()), 0);
}

TEST_F(RendererTest, HalfFadeBlendsOverThePicture) {
    renderer.setCallback(1, FrameRecorder::whiteLeftHalf);
    renderer.setFade(0.0f, 0.0f, 1.0f, 0.5f);
    renderer.drawFrame();
    std::vector<std::uint8_t> pixels = gl.readPixels();
    const std::uint8_t* white = gl.pixelAt(pixels, 100, 300);
    const std::uint8_t* black = gl.pixelAt(pixels, 700, 300);
    EXPECT_NEAR(white[0], 128, 2);
    EXPECT_NEAR(white[2], 255, 1);
    EXPECT_EQ(black[0], 0);
    EXPECT_NEAR(black[2], 128, 2);
}

// Before the first measurement the text reads "FPS: 0.00", in red, at (650, 570): the same
// pixels as that text printed there by an overlay callback.
TEST_F(RendererTest, FrameRateTextShowsZeroInRedAtTheTopRight) {
    renderer.setFrameRate(5.0f, true);
    renderer.drawFrame();
    const std::vector<std::uint8_t> shown = gl.readPixels();
    renderer.setFrameRate(5.0f, false);
    FrameRecorder::renderer = &renderer;
    renderer.setCallback(1, FrameRecorder::printZeroRate);
    renderer.drawFrame();
    EXPECT_TRUE(shown == gl.readPixels());
    EXPECT_GT(gl.countNonBlack(shown), 50);
    for (std::size_t at = 0; at < shown.size(); at += 3) {
        if (shown[at] != 0) {
            EXPECT_EQ(shown[at + 1], 0);
            EXPECT_EQ(shown[at + 2], 0);
        }
    }
}

// Every tenth frame the rate of those ten frames, from the system time, is averaged with the
// rate before it (0 at the start); in between it holds.
TEST_F(RendererTest, FrameRateIsTheLastTenFramesHalvedWithTheRateBefore) {
    Message drained;
    while (gl.surface().nextMessage(drained)) {
    }
    renderer.setFrameRate(20.0f, false);
    FrameRecorder::renderer = &renderer;
    FrameRecorder::quitAfter = 20;
    renderer.setCallback(0, FrameRecorder::recordRate);
    const auto start = std::chrono::system_clock::now();
    renderer.run();
    const std::vector<float>& rates = FrameRecorder::rates;
    const auto& times = FrameRecorder::times;
    ASSERT_EQ(rates.size(), 20u);
    const auto rateOver = [](auto from, auto to) {
        return 10.0 / std::chrono::duration<double>(to - from).count();
    };
    const double firstTen = 0.5 * rateOver(start, times[9]);
    const double secondTen = 0.5 * rateOver(times[9], times[19]) + 0.5 * firstTen;
    for (std::size_t frame = 0; frame < 20; ++frame) {
        const double expected = frame < 9 ? 0.0 : frame < 19 ? firstTen : secondTen;
        EXPECT_NEAR(rates[frame], expected, 0.03 * expected) << "frame " << frame + 1;
    }
}

TEST_F(RendererTest, FrameRateSettingKeepsCapsOfFiveAndBelow) {
    EXPECT_EQ(renderer.getMaxFrameRate(), 50.0f);
    renderer.setFrameRate(5.0f, true);
    EXPECT_EQ(renderer.getMaxFrameRate(), 50.0f);
    EXPECT_TRUE(renderer.isShowingFps());
    renderer.setFrameRate(30.0f, false);
    EXPECT_EQ(renderer.getMaxFrameRate(), 30.0f);
    EXPECT_FALSE(renderer.isShowingFps());
    renderer.setFrameRate(5.01f, false);
    EXPECT_EQ(renderer.getMaxFrameRate(), 5.01f);
}

TEST_F(RendererTest, RunDrawsFramesAtTheCapUntilTheQuitMessage) {
    Message drained;
    while (gl.surface().nextMessage(drained)) {
    }
    renderer.setFrameRate(30.0f, false);
    renderer.setCallback(0, FrameRecorder::before);
    FrameRecorder::quitAfter = 4;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(renderer.run(), 7);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(FrameRecorder::frames, 4);
    // Four frames, each started no sooner than 1000 / 30 ms after the one before.
    EXPECT_GE(took, std::chrono::microseconds(4 * 33'333));
}

TEST_F(RendererTest, ShutdownDeletesTheFontListsOnce) {
    const GLuint base = renderer.getFont().getListBase();
    ASSERT_TRUE(glIsList(base));
    renderer.shutdown();
    EXPECT_FALSE(glIsList(base));
    renderer.shutdown();
}

TEST(RendererWorld, FramesDrawTheWorldThroughTheCameraAsCallbackZeroLeftIt) {
    test::LogCapture log;
    GlTestContext gl;
    VELMORRA_REQUIRE_GL(gl);
    Renderer& renderer = Renderer::instance();
    ASSERT_TRUE(renderer.init(&gl.surface()));
    test::Journal journal;
    auto square = std::make_unique<test::TestElement>("square", journal);
    square->setColor(0.0f, 1.0f, 0.0f);
    auto object = std::make_unique<Object>();
    object->addElement(std::move(square));
    renderer.addObject(std::move(object));
    renderer.setProjection(45.0f, 0.5f, 1000.0f);
    renderer.getCamera().translateLocal(0.0f, 0.0f, -5.0f);

    renderer.drawFrame();
    std::vector<std::uint8_t> pixels = gl.readPixels();
    EXPECT_EQ(gl.pixelAt(pixels, 400, 300)[1], 255) << "the square in front of the camera";
    EXPECT_EQ(gl.pixelAt(pixels, 10, 10)[1], 0);
    EXPECT_EQ(journal.drawn.size(), 1u);

    renderer.setCallback(0, FrameRecorder::turnCameraAround);
    renderer.drawFrame();
    EXPECT_EQ(gl.countNonBlack(gl.readPixels()), 0) << "turned away before the world was drawn";
    EXPECT_EQ(journal.drawn.size(), 1u) << "culled behind the camera";

    renderer.shutdown();
    EXPECT_EQ(renderer.getWorld().getObjectCount(), 0);
    EXPECT_EQ(journal.destroyed, (std::vector<std::string>{"square"}));
    renderer.setCallback(0, nullptr);
    renderer.getCamera().reset();
}

TEST(RendererExtensions, WholeWordsOnly) {
    EXPECT_TRUE(Renderer::hasExtension("GL_ARB_multitexture GL_EXT_texture_env_add",
                                       "GL_EXT_texture_env_add"));
    EXPECT_TRUE(Renderer::hasExtension("GL_ARB_multitexture GL_EXT_texture_env_add ",
                                       "GL_ARB_multitexture"));
    EXPECT_FALSE(Renderer::hasExtension("GL_ARB_multitextureX GL_EXT_texture_env_add",
                                        "GL_ARB_multitexture"));
    EXPECT_FALSE(Renderer::hasExtension("XGL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_FALSE(Renderer::hasExtension("GL_ARB_multi", "GL_ARB_multitexture"));
    EXPECT_FALSE(Renderer::hasExtension("", "GL_ARB_multitexture"));
    EXPECT_FALSE(Renderer::hasExtension(nullptr, "GL_ARB_multitexture"));
    EXPECT_TRUE(Renderer::hasExtension("a  GL_X", "GL_X"));
}

} // namespace
} // namespace velmorra
