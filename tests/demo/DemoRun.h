#pragma once

#include "demo/DemoState.h"
#include "demo/SceneSetup.h"
#include "engine/Renderer.h"
#include "support/FakeClock.h"
#include "support/GlTestContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmorra::test {

// The demo's scene built from a copy of the project's content in a fresh
// directory, with the renderer initialised on a real GL context and the demo
// timer reading a clock the test moves.
class DemoRun : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORRA_REQUIRE_GL(gl);
        ASSERT_TRUE(Renderer::instance().init(&gl.surface()));
    }

    // What the end of a run does: the renderer forgets it, the demo's record goes back to
    // before setup.
    void TearDown() override {
        Renderer::instance().shutdown();
        demoState().reset();
    }

    // Copies the content files (all but the music) into ./data, leaving out `missing`.
    static void copyContent(const std::string& missing = "") {
        const std::filesystem::path source = std::filesystem::path(VELMORRA_SOURCE_DIR) / "data";
        std::filesystem::create_directory("data");
        for (const auto& entry : std::filesystem::directory_iterator(source)) {
            const std::string name = entry.path().filename().string();
            if (name != missing && entry.is_regular_file() && entry.path().extension() != ".mp3") {
                std::filesystem::copy_file(entry.path(), std::filesystem::path("data") / name);
            }
        }
    }

    // Builds the scene, then hands the demo timer to the fake clock.
    static void buildScene() {
        setupScene(1);
        FakeClock::counter = 1'000'000'000'000;
        DemoState& state = demoState();
        state.demoTimer = Timer(FakeClock::source());
        state.demoTimer.init();
    }

    // True when the quit message has been posted since the last call.
    bool takeQuit(int& exitCode) {
        bool quit = false;
        Message message;
        while (gl.surface().nextMessage(message)) {
            if (message.kind == Message::Kind::Quit) {
                quit = true;
                exitCode = message.exitCode;
            }
        }
        return quit;
    }

    LogCapture log;
    GlTestContext gl;
};

} // namespace velmorra::test
