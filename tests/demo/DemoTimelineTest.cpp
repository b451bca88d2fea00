#include "demo/DemoTimeline.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoRun.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "scene/Object.h"

#include <GL/gl.h>

#include <cmath>
#include <functional>

namespace velmorra {
namespace {

using test::DemoRun;
using test::FakeClock;

const Vector3 listA[7] = {{1.05f, 0.02f, 0.03f},  {-1.06f, 0.01f, 0.03f}, {0.04f, 1.05f, 0.04f},
                          {0.02f, -1.03f, 0.03f}, {0.05f, 0.02f, 1.08f},  {0.01f, 0.03f, -1.01f},
                          {0.0f, 0.0f, 0.0f}};

bool samePoint(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// What a whole run looked like, frame by frame.
struct RunRecord {
    std::vector<int> entryFrame = std::vector<int>(18, -1);
    std::vector<double> entryTime = std::vector<double>(18, 0.0);
    int quitFrame = -1;
    int quitCount = 0;
    double quitTime = 0.0;
};

class DemoTimelineTest : public DemoRun {
  protected:
    void SetUp() override {
        DemoRun::SetUp();
        if (IsSkipped()) {
            return;
        }
        copyContent();
        buildScene();
    }

    // One frame `seconds` after the last; `check` runs after the timeline.
    void frame(double seconds) {
        FakeClock::advanceSeconds(seconds);
        now += seconds;
        const int before = demoState().phase;
        demoTimeline();
        const int after = demoState().phase;
        if (after != before) {
            ASSERT_EQ(after, before + 1);
            ASSERT_EQ(record.entryFrame[static_cast<std::size_t>(after)], -1);
            record.entryFrame[static_cast<std::size_t>(after)] = frames;
            record.entryTime[static_cast<std::size_t>(after)] = now;
        }
        int exitCode = -1;
        if (takeQuit(exitCode)) {
            ++record.quitCount;
            record.quitFrame = frames;
            record.quitTime = now;
            EXPECT_EQ(exitCode, 0);
        }
        ++frames;
    }

    // Frames at 30 per second until the phase is entered.
    void runUntilPhase(int phase) {
        while (demoState().phase < phase && frames < 100000) {
            frame(1.0 / 30.0);
        }
    }

    Vector3 eye() const { return Renderer::instance().getCamera().getOrigin(); }

    RunRecord record;
    int frames = 0;
    double now = 0.0;
};

void expectNear(const Vector3& actual, float x, float y, float z, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

TEST_F(DemoTimelineTest, AWholeRunAtThirtyFramesPerSecond) {
    DemoState& state = demoState();
    int wireframeFrames = 0;
    int phaseTwoFrames = 0;
    bool blobHeld = true;
    int creditsHigh = 0;
    while (record.quitCount == 0 && frames < 6000) {
        const int phaseBefore = state.phase;
        frame(1.0 / 30.0);
        const bool entered = state.phase != phaseBefore;
        if (entered) {
            EXPECT_EQ(state.phaseTime, 0.0f)
                << "f is 0 on the first frame of phase " << state.phase;
        }
        if (state.phase == 0) {
            blobHeld = blobHeld && state.fluidStep == 0.0f;
            for (int i = 0; i < 7; ++i) {
                blobHeld = blobHeld && samePoint(state.particlePositions[i], listA[i]);
            }
        }
        if (state.phase == 2) {
            ++phaseTwoFrames;
            wireframeFrames += state.fluid->getDrawMode() == 0;
        }
        if (entered && state.phase == 6) {
            EXPECT_EQ(Renderer::instance().getFade()[3], 0.0f)
                << "no fade on phase 6's first frame";
        }
        if (entered && state.phase == 7) {
            EXPECT_EQ(Renderer::instance().getFade()[3], 1.0f) << "black on phase 7's first frame";
        }
        if (state.phase >= 15) {
            EXPECT_LE(state.creditsScroll, 500);
            EXPECT_GE(state.creditsScroll, creditsHigh) << "the credits never scroll back";
            creditsHigh = state.creditsScroll;
        }
    }
    EXPECT_TRUE(blobHeld) << "list A pinned and the liquid frozen through phase 0";
    EXPECT_NEAR(static_cast<double>(wireframeFrames) / phaseTwoFrames, 2.0 / 3.0, 0.1);
    EXPECT_GT(creditsHigh, 490);
    EXPECT_TRUE(state.showCredits);

    // Each phase is entered once, in order, on the first frame after its length.
    double phaseStart = 0.0;
    for (int phase = 1; phase <= 17; ++phase) {
        ASSERT_NE(record.entryFrame[static_cast<std::size_t>(phase)], -1) << phase;
        const double lasted = record.entryTime[static_cast<std::size_t>(phase)] - phaseStart;
        const double length = state.phaseDurations[static_cast<std::size_t>(phase - 1)];
        EXPECT_GT(lasted, length - 1e-4) << "phase " << phase - 1;
        EXPECT_LE(lasted - 1.0 / 30.0, length + 1e-4) << "phase " << phase - 1;
        phaseStart = record.entryTime[static_cast<std::size_t>(phase)];
    }
    EXPECT_EQ(record.quitCount, 1);
    EXPECT_EQ(record.quitFrame, record.entryFrame[17]);
    EXPECT_GE(record.quitTime, 162.0);
    EXPECT_LT(record.quitTime, 162.0 + 17.0 / 30.0);

    for (int more = 0; more < 30; ++more) {
        frame(1.0 / 30.0);
    }
    EXPECT_EQ(state.phase, 17);
    EXPECT_EQ(record.quitCount, 1) << "the quit is asked for once";
}

TEST_F(DemoTimelineTest, AnUnevenFrameRateKeepsTheSchedule) {
    const double gaps[] = {0.020, 0.050, 0.007, 0.120, 0.033};
    for (int i = 0; record.quitCount == 0 && i < 20000; ++i) {
        frame(gaps[i % 5]);
    }
    for (int phase = 1; phase <= 17; ++phase) {
        EXPECT_NE(record.entryFrame[static_cast<std::size_t>(phase)], -1) << phase;
    }
    EXPECT_EQ(record.quitCount, 1);
    EXPECT_GE(record.quitTime, 162.0);
    EXPECT_LT(record.quitTime, 162.0 + 17 * 0.12);
}

TEST_F(DemoTimelineTest, CameraPosesAtChosenMoments) {
    runUntilPhase(1);
    expectNear(eye(), 0.0f, 0.0f, -5.0f);
    // A quarter of phase 1: a quarter turn about y, then about the new z.
    frame(2.5 - demoState().phaseTime);
    expectNear(eye(), -5.0f, 0.0f, 0.0f);
    expectNear(Renderer::instance().getCamera().getYAxis(), 0.0f, 0.0f, 1.0f);

    runUntilPhase(9);
    frame(2.5); // a quarter of phase 9: half a turn about y
    expectNear(eye(), 0.0f, 0.0f, 5.0f);
    expectNear(Renderer::instance().getCamera().getZAxis(), 0.0f, 0.0f, -1.0f);

    runUntilPhase(13);
    expectNear(eye(), 0.0f, 0.0f, -8.0f);
    frame(4.0); // half of phase 13: tilted 15 degrees about x
    expectNear(eye(), 0.0f, 8.0f * std::sin(0.2617994f), -8.0f * std::cos(0.2617994f));

    runUntilPhase(14);
    // Looking down 30 degrees from distance 8.
    expectNear(eye(), 0.0f, 4.0f, -6.928203f);
}

// Replays the demo's generator from `random` as `init` and the set-up draw
// it, giving where the set-up must have put each particle.
std::vector<Vector3>
replayPlacements(Random random, int count,
                 const std::function<Vector3(int, float, float, float)>& rule) {
    for (int draw = 0; draw < 3 * count; ++draw) {
        random.next();
    }
    std::vector<Vector3> expected;
    for (int i = 0; i < count; ++i) {
        const auto r1 = static_cast<float>(random.next());
        const auto r2 = static_cast<float>(random.next());
        const auto r3 = static_cast<float>(random.next());
        expected.push_back(rule(i, r1, r2, r3));
    }
    return expected;
}

TEST_F(DemoTimelineTest, StreamAndPourSetUpsPlaceTheirParticlesFromTheDrawsInOrder) {
    DemoState& state = demoState();
    runUntilPhase(6);
    while (state.phase < 7) {
        const Random before = demoRandom();
        frame(1.0 / 30.0);
        if (state.phase != 7) {
            continue;
        }
        ASSERT_EQ(state.particleCount, 20);
        const auto stream = replayPlacements(before, 20, [](int i, float r1, float r2, float r3) {
            const float top = i < 13 ? 5.0f : 15.0f;
            return Vector3(0.7f - r3 * 1.4f / 32767.0f, top - r2 * 1.4f / 32767.0f,
                           0.7f - r1 * 1.4f / 32767.0f);
        });
        int high = 0;
        for (int i = 3; i < 20; ++i) {
            EXPECT_TRUE(samePoint(state.particlePositions[i], stream[static_cast<std::size_t>(i)]))
                << i;
            high += state.particlePositions[i].y > 10.0f;
        }
        EXPECT_EQ(high, 7) << "13 particles around height 5, 7 around 15";
        EXPECT_TRUE(samePoint(state.particlePositions[1], Vector3(0.0f, 1.5f, 0.5f)));
        EXPECT_EQ(state.fluidStep, 0.0f);
    }
    EXPECT_TRUE(state.sceneObject->getElement(0)->isVisible());

    runUntilPhase(11);
    while (state.phase < 12) {
        const Random before = demoRandom();
        frame(1.0 / 30.0);
        if (state.phase != 12) {
            continue;
        }
        ASSERT_EQ(state.particleCount, 80);
        const auto pour = replayPlacements(before, 80, [](int i, float r1, float r2, float r3) {
            if (i < 32) {
                return Vector3(0.7f - r3 * 1.4f / 32767.0f, 0.7f - r2 * 1.4f / 32767.0f,
                               0.7f - r1 * 1.4f / 32767.0f);
            }
            const float base = i < 48 ? 10.0f : 60.0f;
            const float span = i < 48 ? 50.0f : 70.0f;
            return Vector3(0.1f - r3 * 0.2f / 32767.0f, base + r2 * span / 32767.0f,
                           0.1f - r1 * 0.2f / 32767.0f);
        });
        for (int i = 0; i < 80; ++i) {
            EXPECT_TRUE(samePoint(state.particlePositions[i], pour[static_cast<std::size_t>(i)]))
                << i;
            EXPECT_TRUE(samePoint(state.particleVelocities[i], Vector3()));
        }
        EXPECT_EQ(state.fluidStep, state.framePeriod * 0.25f);
    }
    EXPECT_FALSE(state.sceneObject->getElement(0)->isVisible());
    EXPECT_TRUE(state.cupObject->getElement(0)->isVisible());
    expectNear(state.cupObject->getFrame()->getOrigin(), 0.0f, -3.0f, 0.0f, 0.0f);
}

class CreditsOverlayTest : public DemoTimelineTest {
  protected:
    // The renderer's overlay: 800 x 600 units, lighting, depth, blending and
    // texturing off, red.
    void beginOverlay() const {
        gl.beginOverlay();
        glColor3f(1.0f, 0.0f, 0.0f);
    }

    // Rows of the window holding lit pixels.
    std::vector<int> litRows() const {
        std::vector<std::uint8_t> pixels = gl.readPixels();
        std::vector<int> rows;
        for (int y = 0; y < gl.height(); ++y) {
            for (int x = 0; x < gl.width(); ++x) {
                if (gl.pixelAt(pixels, x, y)[0] != 0) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    }
};

TEST_F(CreditsOverlayTest, WithCreditsOffAndQuadsHiddenNothingChanges) {
    beginOverlay();
    creditsOverlay();
    EXPECT_TRUE(litRows().empty());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
}

TEST_F(CreditsOverlayTest, ScrolledLinesShowFromTheBottomEdgeUp) {
    DemoState& state = demoState();
    state.showCredits = true;
    state.creditsScroll = 0;
    beginOverlay();
    creditsOverlay();
    EXPECT_TRUE(litRows().empty()) << "every line is still below the screen";

    state.creditsScroll = 140;
    beginOverlay();
    creditsOverlay();
    const std::vector<int> rows = litRows();
    ASSERT_FALSE(rows.empty());
    // Line 5 stands on the bottom edge, line 1 at y = 120; nothing lies above it.
    EXPECT_LE(rows.front(), 1);
    EXPECT_GE(rows.back(), 125);
    EXPECT_LE(rows.back(), 140);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(CreditsOverlayTest, VisibleQuadsAreDrawnBeforeTheText) {
    DemoState& state = demoState();
    state.quad(1).setVisible(true);
    state.quad(1).setPosition(0.0f, 300.0f);
    beginOverlay();
    creditsOverlay();
    const std::vector<int> rows = litRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 300);
    EXPECT_LT(rows.back(), 400);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace
} // namespace velmorra
