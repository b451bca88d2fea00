#include "demo/DemoRun.h"
#include "demo/DemoTimeline.h"
#include "demo/Starfield.h"
#include "demo/TexQuad2D.h"
#include "fluid/FluidElement.h"
#include "math/Random.h"
#include "scene/LightElement.h"
#include "scene/Object.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace velmorra {
namespace {

using test::DemoRun;

bool everyElementVisible(Object& object, bool expected) {
    for (int index = 0; index < object.getElementCount(); ++index) {
        if (object.getElement(index)->isVisible() != expected) {
            return false;
        }
    }
    return true;
}

TEST_F(DemoRun, SetupBuildsTheWholeSceneAndReturnsToTheStartDirectory) {
    copyContent();
    const std::filesystem::path start = std::filesystem::current_path();
    setupScene(1);
    EXPECT_EQ(std::filesystem::current_path(), start);

    const DemoState& state = demoState();
    World& world = Renderer::instance().getWorld();
    ASSERT_EQ(world.getObjectCount(), 4);
    EXPECT_EQ(world.getElement(0), state.light) << "objects in the order light, fluid, models";
    EXPECT_EQ(world.getElement(1), state.fluid);
    EXPECT_EQ(state.sceneObject->getElementCount(), 8);
    EXPECT_GT(state.cupObject->getElementCount(), 0);
    EXPECT_EQ(world.getElementCount(),
              2 + state.sceneObject->getElementCount() + state.cupObject->getElementCount());
    EXPECT_NE(state.starfield, nullptr);

    EXPECT_FALSE(state.light->isVisible());
    EXPECT_TRUE(state.light->isEnabled());
    EXPECT_TRUE(state.fluid->isVisible());
    EXPECT_TRUE(everyElementVisible(*state.sceneObject, false));
    EXPECT_TRUE(everyElementVisible(*state.cupObject, false));
    EXPECT_EQ(state.particleCount, 7);
    for (const auto& quad : state.quads) {
        ASSERT_NE(quad, nullptr);
        EXPECT_FALSE(quad->isVisible());
        EXPECT_TRUE(quad->getTexture().isLoaded());
    }

    EXPECT_EQ(std::accumulate(state.phaseDurations.begin(), state.phaseDurations.end(), 0.0f),
              162.0f);
    EXPECT_EQ(state.framePeriod, 0.033333335f);
    EXPECT_NEAR(Renderer::instance().getMaxFrameRate(), 29.9999985f, 1e-5f);
    EXPECT_FALSE(Renderer::instance().isShowingFps());
    const Vector3 eye = Renderer::instance().getCamera().getOrigin();
    EXPECT_EQ(eye.z, -5.0f);

    const std::string text = log.text();
    for (const char* loaded : {"Loading texture file: lava.bmp\nLoaded 256x256 image.\n",
                               "Loading 3ds file: scene.3ds\n", "Loading 3ds file: stonecup.3ds\n",
                               "Loading texture file: dummy.bmp\nLoaded 256x256 image.\n",
                               "Loading texture file: text.bmp\nLoaded 512x512 image.\n"}) {
        EXPECT_NE(text.find(loaded), std::string::npos) << loaded;
    }
    EXPECT_EQ(text.find("Error"), std::string::npos) << text;
    EXPECT_EQ(text.find("Warning"), std::string::npos) << text;
}

TEST_F(DemoRun, ShutdownGivesBackEveryTextureOfTheWorld) {
    copyContent();
    setupScene(1);
    Renderer::instance().shutdown();
    const std::string text = log.text();
    std::vector<std::string> loaded;
    for (std::size_t at = text.find("Loaded "); at != std::string::npos;
         at = text.find("Loaded ", at + 1)) {
        const std::size_t nameStart = text.rfind("Loading texture file: ", at) + 22;
        loaded.push_back(text.substr(nameStart, text.find('\n', nameStart) - nameStart));
    }
    ASSERT_GE(loaded.size(), 6u);
    for (const std::string& name : loaded) {
        const bool deleted = text.find("Deleted texture " + name + "\n") != std::string::npos;
        EXPECT_EQ(deleted, name != "text.bmp") << name;
    }
}

// Setup seeds the demo's draws and takes them in a fixed order (seven particles, 10000 stars, 16
// sprites), so runs with the same seed build the same liquid and the same starfield.
TEST_F(DemoRun, SetupTakesItsDrawsInAFixedOrderFromTheSeed) {
    copyContent();
    setupScene(1234);
    Random replay(1234);
    for (int draw = 0; draw < 7 * 3 + 10000 * 4 + 16 * 2; ++draw) {
        replay.next();
    }
    Random afterSetup = demoState().random;
    for (int draw = 0; draw < 4; ++draw) {
        EXPECT_EQ(afterSetup.next(), replay.next());
    }
}

// Every content file in turn, and the whole folder: setup completes, the log
// names what failed, and the timeline plays through without a crash.
class MissingContent : public DemoRun, public ::testing::WithParamInterface<std::string> {};

TEST_P(MissingContent, IsLoggedAndTheDemoPlaysOn) {
    const std::string missing = GetParam();
    if (missing != "data") {
        copyContent(missing);
    }
    buildScene();
    int exitCode = -1;
    bool quit = false;
    for (int frame = 0; frame < 400 && !quit; ++frame) {
        test::FakeClock::advanceSeconds(0.5);
        demoTimeline();
        quit = takeQuit(exitCode);
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(exitCode, 0);
    const std::string text = log.text();
    // The liquid's later textures are named from the start directory.
    const bool loadedLater = missing == "chrome.bmp" || missing == "sky.bmp";
    const std::string named = missing == "data" ? "lava.bmp"
                              : loadedLater     ? "./data/" + missing
                                                : missing;
    const std::size_t loading = text.find("file: " + named + "\n");
    ASSERT_NE(loading, std::string::npos) << text;
    const std::size_t nextLine = text.find('\n', loading) + 1;
    EXPECT_NE(text.substr(nextLine, text.find('\n', nextLine) - nextLine)
                  .find("Error: could not open file!"),
              std::string::npos)
        << text;
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingContent,
                         ::testing::Values("lava.bmp", "scene.3ds", "stonecup.3ds", "dummy.bmp",
                                           "text.bmp", "marble.bmp", "chrome.bmp", "sky.bmp",
                                           "data"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

} // namespace
} // namespace velmorra
