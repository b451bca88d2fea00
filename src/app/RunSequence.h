#pragma once

#include "platform/DataFolder.h"
#include "platform/GraphicsSurface.h"
#include "platform/StartupTimings.h"
#include "platform/WorkingDirectory.h"
#include "engine/Renderer.h"
#include "fluid/WorkerPool.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace velmorra {

// What playing the demo in a window and capturing it share: the log, the content folder, and
// from the open surface to the end of the frame loop the renderer, the scene, the music, the
// per-frame callbacks, the loop and the shut-down. The two differ only in the surface and its
// clock, and in what they do around the loop (the hooks).
class RunSequence {
  public:
    // The music, relative to the content folder.
    static constexpr const char* musicFile = "./data/amns.mp3";

    struct Hooks {
        // Right after the scene is built, right before the frame loop: the window starts the
        // music here, so loading does not eat into it.
        std::function<void()> startMusic;
        // Callback slot 0; the demo's timeline unless a run wraps it.
        FrameCallback timeline;
        // After the driver's identification is logged, right before the first frame.
        std::function<void()> beforeFrameLoop;
    };

    // Opens the log in the current directory and works in the content folder from here on.
    RunSequence() = default;
    // Closes the log, leaves the demo's record as it was before setup and returns to the start
    // directory.
    ~RunSequence();
    RunSequence(const RunSequence&) = delete;
    RunSequence& operator=(const RunSequence&) = delete;

    // The renderer on `surface`, the scene (its random numbers from `seed`, or from the time
    // without one), the music, the callbacks and the frame loop until it ends, then the
    // renderer's shut-down. Returns the frame loop's result.
    int play(GraphicsSurface& surface, std::optional<std::uint32_t> seed, const Hooks& hooks);
    // play in two halves, for a caller that runs the frames itself (the browser's animation
    // frames): everything before the frame loop, and the renderer's shut-down after it.
    void begin(GraphicsSurface& surface, std::optional<std::uint32_t> seed, const Hooks& hooks);
    void end();

    StartupTimings& getStartupTimings() { return startupTimings; }

  private:
    static bool openLogHere(StartupTimings& timings);

    StartupTimings startupTimings;
    // The log opens before the content folder is entered, so that it lands where the program
    // was started.
    [[maybe_unused]] bool logOpen = openLogHere(startupTimings);
    WorkingDirectory contentFolder{DataFolder::locate()};
    std::optional<WorkerPool> workers;
};

// The driver's identification strings, written to the log verbatim.
void logGlIdentification();

} // namespace velmorra
