#include "demo/DemoTimeline.h"
#include "demo/CreditsOverlay.h"
#include "demo/DemoRun.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "scene/Object.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace velmorra {
namespace {

using test::DemoRun;
using test::FakeClock;

using Pins = std::vector<std::pair<int, Vector3>>;

// Particles the schedule pins in place: the blob of phase 0 and the spout of the stream.
const Pins listA = {{0, {1.05f, 0.02f, 0.03f}}, {1, {-1.06f, 0.01f, 0.03f}},
                    {2, {0.04f, 1.05f, 0.04f}}, {3, {0.02f, -1.03f, 0.03f}},
                    {4, {0.05f, 0.02f, 1.08f}}, {5, {0.01f, 0.03f, -1.01f}},
                    {6, {0.0f, 0.0f, 0.0f}}};
const Pins listC = {{0, {0.3f, 1.5f, 0.3f}}, {1, {0.0f, 1.5f, 0.5f}}, {2, {-0.3f, 1.5f, 0.3f}}};

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
        if (HasFatalFailure()) {
            return;
        }
        copyContent();
        buildScene();
    }

    // One frame `seconds` after the last; `check` runs after the timeline.
    void frame(double seconds) {
        FakeClock::advanceSeconds(seconds);
        now += seconds;
        const int before = phaseIndex(demoState().phase);
        demoTimeline();
        const int after = phaseIndex(demoState().phase);
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
    void runUntilPhase(Phase phase) {
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
        const Phase phaseBefore = state.phase;
        frame(1.0 / 30.0);
        const bool entered = state.phase != phaseBefore;
        if (entered) {
            EXPECT_EQ(state.phaseTime, 0.0f)
                << "f is 0 on the first frame of phase " << phaseIndex(state.phase);
        }
        if (state.phase == Phase::BlobFadesIn) {
            blobHeld = blobHeld && state.fluidStep == 0.0f;
            for (const auto& [i, place] : listA) {
                blobHeld = blobHeld && samePoint(state.particlePositions[i], place);
            }
        }
        if (state.phase == Phase::WireframeFlicker) {
            ++phaseTwoFrames;
            wireframeFrames += state.fluid->getDrawMode() == 0;
        }
        if (entered && state.phase == Phase::BlobFadesOut) {
            EXPECT_EQ(Renderer::instance().getFade()[3], 0.0f)
                << "no fade on phase 6's first frame";
        }
        if (entered && state.phase == Phase::StreamFadesIn) {
            EXPECT_EQ(Renderer::instance().getFade()[3], 1.0f) << "black on phase 7's first frame";
        }
        if (state.phase >= Phase::CreditsScroll) {
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
    EXPECT_EQ(state.phase, Phase::End);
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

// A title quad as it reaches GL: its lower-left corner in overlay units and the grey it is
// drawn with, or not drawn at all.
struct QuadSeen {
    bool drawn;
    float x;
    float y;
    float brightness;
};

const QuadSeen hidden{false, 0.0f, 0.0f, 0.0f};

// What the schedule shows at fraction f of a phase (f = 1: its last millisecond).
struct Moment {
    int phase;
    float f;
    float fade;
    float fluidStep;
    int drawMode;
    bool particlesShown;
    // The total force on the liquid after the frame's step: the pair forces cancel, leaving
    // N m g. The step runs before a phase's entry action, so a new gravity shows a frame late.
    float weight;
    Vector3 eye;
    Vector3 up;
    std::array<QuadSeen, 4> quads;
    int creditsScroll; // -1 while the credits are off
    Pins pins;
    // Phase 2 draws one number per frame: seed 1 draws 346 (mod 3 = 1, wireframe), seed 3
    // draws 1038 (mod 3 = 0, smooth).
    std::uint32_t seed = 0;
};

constexpr float half = 1.0f / 60.0f;     // the frame period halved
constexpr float slowed = 1.0f / 51.0f;   // divided by 1.7
constexpr float quarter = 1.0f / 120.0f; // quartered
constexpr float streamWeight = -2.3f;    // 20 particles x 0.01 x -11.5
constexpr float pourWeight = -160.0f;    // 80 particles x 0.02 x -100
const Vector3 back5{0, 0, -5};
const Vector3 back8{0, 0, -8};
const Vector3 above8{0, 4, -6.92820f}; // 30 degrees down from distance 8
const Vector3 upright{0, 1, 0};
const Vector3 tiltedUp{0, 0.86603f, 0.5f};
const std::array<QuadSeen, 4> none{hidden, hidden, hidden, hidden};

// clang-format off
const Moment schedule[] = {
    {0, 0.0f, 1.0f, 0, 2, false, 0, back5, upright, none, -1, listA},
    {0, 0.5f, 0.5f, 0, 2, false, 0, back5, upright, none, -1, listA},
    {0, 1.0f, 0.0f, 0, 2, false, 0, back5, upright, none, -1, listA},
    {1, 0.0f, 0, half, 2, false, 0, back5, upright, none, -1, {}},
    {1, 0.25f, 0, half, 2, false, 0, {-5, 0, 0}, {0, 0, 1}, none, -1, {}},
    {1, 0.5f, 0, half, 2, false, 0, {0, 0, 5}, {0, -1, 0}, none, -1, {}},
    {1, 1.0f, 0, half, 2, false, 0, back5, upright, none, -1, {}},
    {2, 0.0f, 0, half, 0, false, 0, back5, upright, none, -1, {}, 1},
    {2, 0.5f, 0, half, 2, false, 0, back5, upright, none, -1, {}, 3},
    {2, 1.0f, 0, half, 0, false, 0, back5, upright, none, -1, {}, 1},
    {3, 0.0f, 0, half, 0, true, 0, back5, upright, none, -1, {}},
    {3, 0.5f, 0, half, 0, true, 0, back5, upright, none, -1, {}},
    {3, 1.0f, 0, half, 0, true, 0, back5, upright, none, -1, {}},
    {4, 0.0f, 0, 0, 0, true, 0, back5, upright, {hidden, {true, -200, 20, 0}, hidden, hidden}, -1, {{6, {0, 0, 0}}}},
    {4, 0.25f, 0, 0, 0, true, 0, back5, upright, {hidden, {true, -75, 20, 0.5f}, hidden, hidden}, -1, {{6, {0.275f, 0.275f, -0.275f}}}},
    {4, 0.5f, 0, 0, 0, true, 0, back5, upright, {hidden, {true, 50, 20, 1}, hidden, hidden}, -1, {{6, {0.55f, 0.55f, -0.55f}}}},
    {4, 1.0f, 0, 0, 0, true, 0, back5, upright, {hidden, {true, 300, 20, 1}, hidden, hidden}, -1, {{6, {1.1f, 1.1f, -1.1f}}}},
    {5, 0.0f, 0, half, 0, true, 0, back5, upright, {{{true, 400, 500, 0}, {true, 300, 20, 1}, hidden, hidden}}, -1, {}},
    {5, 0.25f, 0, half, 0, true, 0, back5, upright, {{{true, 400, 377.5f, 0.5f}, {true, 300, 20, 0.25f}, hidden, hidden}}, -1, {}},
    {5, 0.5f, 0, half, 0, true, 0, back5, upright, {{{true, 400, 255, 1}, {true, 300, 20, 0}, hidden, hidden}}, -1, {}},
    {5, 1.0f, 0, half, 0, true, 0, back5, upright, {{{true, 400, 10, 1}, {true, 300, 20, 0}, hidden, hidden}}, -1, {}},
    {6, 0.0f, 0.0f, half, 0, true, 0, back5, upright, {{{true, 400, 10, 1}, hidden, hidden, hidden}}, -1, {}},
    {6, 0.5f, 0.5f, half, 0, true, 0, back5, upright, {{{true, 400, 10, 1}, hidden, hidden, hidden}}, -1, {}},
    {6, 1.0f, 1.0f, half, 0, true, 0, back5, upright, {{{true, 400, 10, 1}, hidden, hidden, hidden}}, -1, {}},
    {7, 0.0f, 1.0f, 0, 2, false, 0, back5, upright, none, -1, listC},
    {7, 0.5f, 0.5f, 0, 2, false, 0, back5, upright, none, -1, listC},
    {7, 1.0f, 0.0f, 0, 2, false, 0, back5, upright, none, -1, listC},
    {8, 0.0f, 0, 0, 2, false, 0, back5, upright, none, -1, {}},
    {8, 0.5f, 0, 0, 2, false, 0, back5, upright, none, -1, {}},
    {8, 1.0f, 0, 0, 2, false, 0, back5, upright, none, -1, {}},
    {9, 0.0f, 0, slowed, 2, false, 0, back5, upright, {hidden, hidden, {true, 100, 150, 0}, hidden}, -1, listC},
    {9, 0.25f, 0, slowed, 2, false, streamWeight, {0, 0, 5}, upright, {hidden, hidden, {true, 100, 150, 0.49960f}, hidden}, -1, listC},
    {9, 0.5f, 0, slowed, 2, false, streamWeight, back5, upright, {hidden, hidden, {true, 100, 150, 0.99999937f}, hidden}, -1, listC},
    {9, 1.0f, 0, slowed, 2, false, streamWeight, back5, upright, {hidden, hidden, {true, 100, 150, 0}, hidden}, -1, listC},
    {10, 0.0f, 0, slowed, 2, false, streamWeight, back5, upright, none, -1, listC},
    {10, 0.1f, 0, slowed, 2, false, streamWeight, {-2.93893f, 0, 4.04508f}, upright, none, -1, listC},
    {10, 0.5f, 0, slowed, 2, false, streamWeight, back5, upright, none, -1, listC},
    {10, 1.0f, 0, slowed, 2, false, streamWeight, back5, upright, none, -1, listC},
    {11, 0.0f, 0.0f, slowed, 2, false, streamWeight, back5, upright, none, -1, {}},
    {11, 0.5f, 0.5f, slowed, 2, false, streamWeight, back5, upright, none, -1, {}},
    {11, 1.0f, 1.0f, slowed, 2, false, streamWeight, back5, upright, none, -1, {}},
    {12, 0.0f, 1.0f, quarter, 2, false, 0, back8, upright, none, -1, {}},
    {12, 0.5f, 0.5f, quarter, 2, false, pourWeight, back8, upright, none, -1, {}},
    {12, 1.0f, 0.0f, quarter, 2, false, pourWeight, back8, upright, none, -1, {}},
    {13, 0.0f, 0, quarter, 2, false, pourWeight, back8, upright, {hidden, hidden, hidden, {true, 0, 0, 0}}, -1, {}},
    {13, 0.5f, 0, quarter, 2, false, pourWeight, {0, 2.07055f, -7.72741f}, {0, 0.96593f, 0.25882f}, {hidden, hidden, hidden, {true, 250, 262.5f, 0.99999937f}}, -1, {}},
    {13, 0.75f, 0, quarter, 2, false, pourWeight, {0, 3.06147f, -7.39104f}, {0, 0.92388f, 0.38268f}, {hidden, hidden, hidden, {true, 375, 393.75f, 0.50119f}}, -1, {}},
    {13, 1.0f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, {hidden, hidden, hidden, {true, 500, 525, 0}}, -1, {}},
    {14, 0.0f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, -1, {}},
    {14, 0.1f, 0, quarter, 2, false, pourWeight, {-4.07230f, 4, 5.60503f}, {0.29389f, 0.86603f, -0.40451f}, none, -1, {}},
    {14, 0.5f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, -1, {}},
    {14, 1.0f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, -1, {}},
    {15, 0.0f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, 0, {}},
    {15, 0.25f, 0, quarter, 2, false, pourWeight, {0, 4, 6.92820f}, {0, 0.86603f, -0.5f}, none, 125, {}},
    {15, 0.5f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, 250, {}},
    {15, 1.0f, 0, quarter, 2, false, pourWeight, above8, tiltedUp, none, 500, {}},
    {16, 0.0f, 0.0f, quarter, 2, false, pourWeight, above8, tiltedUp, none, 500, {}},
    {16, 0.5f, 0.5f, quarter, 2, false, pourWeight, above8, tiltedUp, none, 500, {}},
    {16, 1.0f, 1.0f, quarter, 2, false, pourWeight, above8, tiltedUp, none, 500, {}},
};
// clang-format on

class DemoScheduleTest : public DemoTimelineTest {
  protected:
    // Whole phases in single frames, then the one frame that shows the moment: the frame that
    // enters the phase for f = 0, else the frame at f times its length (f = 1: a millisecond
    // short of its end, since the phase changes only once its length is passed).
    void playTo(const Moment& moment) {
        DemoState& state = demoState();
        const auto timeLeft = [&state] { return state.phaseLength() - state.phaseTime; };
        while (phaseIndex(state.phase) < moment.phase - 1) {
            frame(timeLeft() + 0.001);
        }
        double step = timeLeft() + 0.001;
        if (phaseIndex(state.phase) == moment.phase) {
            const float length = state.phaseLength();
            step = (moment.f < 1.0f ? moment.f * length : length - 0.001) - state.phaseTime;
        }
        if (moment.seed != 0) {
            state.random.seed(moment.seed);
        }
        frame(step);
        ASSERT_EQ(phaseIndex(state.phase), moment.phase);
    }

    // The quad drawn in feedback mode through an overlay wide enough that nothing is clipped:
    // x and y span 2400 x 1800 units from (-800, -600), three units to a pixel.
    QuadSeen look(const TexQuad2D& quad) const {
        gl.beginOverlay();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-800.0, 1600.0, -600.0, 1200.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glViewport(0, 0, 800, 600);
        std::vector<GLfloat> buffer(256);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        quad.draw();
        const GLint used = glRenderMode(GL_RENDER);
        QuadSeen seen{used > 0, 1e9f, 1e9f, 0.0f};
        for (std::size_t at = 0; at < static_cast<std::size_t>(std::max(used, 0));) {
            if (static_cast<GLint>(buffer[at++]) != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "a quad feeds back polygons only";
                break;
            }
            const auto corners = static_cast<std::size_t>(buffer[at++]);
            for (std::size_t corner = 0; corner < corners; ++corner, at += 7) {
                seen.x = std::min(seen.x, 3.0f * buffer[at] - 800.0f);
                seen.y = std::min(seen.y, 3.0f * buffer[at + 1] - 600.0f);
                seen.brightness = buffer[at + 3];
            }
        }
        return seen;
    }

    static float totalForceY() {
        float total = 0.0f;
        for (const Vector3& force : demoState().fluid->getSimulation().getForces()) {
            total += force.y;
        }
        return total;
    }
};

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance) {
    expectNear(actual, expected.x, expected.y, expected.z, tolerance);
}

TEST_F(DemoScheduleTest, EachPhaseShowsItsValuesAtItsStartMiddleAndEnd) {
    const DemoState& state = demoState();
    const Renderer& renderer = Renderer::instance();
    for (const Moment& moment : schedule) {
        SCOPED_TRACE(testing::Message() << "phase " << moment.phase << " at f = " << moment.f);
        ASSERT_NO_FATAL_FAILURE(playTo(moment));
        EXPECT_NEAR(renderer.getFade()[3], moment.fade, 1e-3f);
        EXPECT_NEAR(state.fluidStep, moment.fluidStep, 1e-7f);
        EXPECT_EQ(state.fluid->getDrawMode(), moment.drawMode);
        EXPECT_EQ(state.fluid->isShowingParticles(), moment.particlesShown);
        EXPECT_NEAR(totalForceY(), moment.weight, 0.01f);
        Camera& camera = Renderer::instance().getCamera();
        expectNear(camera.getOrigin(), moment.eye, 0.02f);
        expectNear(camera.getYAxis(), moment.up, 0.01f);
        for (int number = 1; number <= 4; ++number) {
            const QuadSeen seen = look(state.quad(number));
            const QuadSeen& expected = moment.quads[static_cast<std::size_t>(number - 1)];
            ASSERT_EQ(seen.drawn, expected.drawn) << "quad " << number;
            if (expected.drawn) {
                EXPECT_NEAR(seen.x, expected.x, 0.1f) << "quad " << number;
                EXPECT_NEAR(seen.y, expected.y, 0.1f) << "quad " << number;
                EXPECT_NEAR(seen.brightness, expected.brightness, 1e-4f) << "quad " << number;
            }
        }
        EXPECT_EQ(state.showCredits, moment.creditsScroll >= 0);
        if (moment.creditsScroll >= 0) {
            EXPECT_NEAR(state.creditsScroll, moment.creditsScroll, 1);
        }
        for (const auto& [index, place] : moment.pins) {
            expectNear(state.particlePositions[index], place, 1e-3f);
        }
    }
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
    runUntilPhase(Phase::BlobFadesOut);
    while (state.phase < Phase::StreamFadesIn) {
        const Random before = state.random;
        frame(1.0 / 30.0);
        if (state.phase != Phase::StreamFadesIn) {
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

    runUntilPhase(Phase::StreamFadesOut);
    while (state.phase < Phase::PourFadesIn) {
        const Random before = state.random;
        frame(1.0 / 30.0);
        if (state.phase != Phase::PourFadesIn) {
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

// A visible quad leaves its grey as the current colour: text drawn after it is grey, not red.
TEST_F(CreditsOverlayTest, VisibleQuadsAreDrawnBeforeTheText) {
    DemoState& state = demoState();
    state.quad(1).setVisible(true);
    state.quad(1).setPosition(0.0f, 300.0f);
    state.quad(1).setBrightness(0.5f);
    state.showCredits = true;
    state.creditsScroll = 140; // lines 1 to 5, below y = 140
    beginOverlay();
    creditsOverlay();
    const std::vector<int> rows = litRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.front(), 1);
    EXPECT_GE(rows.back(), 300) << "the quad is drawn";
    std::vector<std::uint8_t> pixels = gl.readPixels();
    int textPixels = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < gl.width(); ++x) {
            const std::uint8_t* pixel = gl.pixelAt(pixels, x, y);
            if (pixel[0] != 0) {
                ++textPixels;
                EXPECT_NEAR(pixel[0], 128, 1);
                EXPECT_EQ(pixel[1], pixel[0]);
                EXPECT_EQ(pixel[2], pixel[0]);
            }
        }
    }
    EXPECT_GT(textPixels, 100);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace
} // namespace velmorra
