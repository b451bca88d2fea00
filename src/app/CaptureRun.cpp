#include "app/CaptureRun.h"

#include "app/RunSequence.h"
#include "platform/FrameClock.h"
#include "platform/FrameMemory.h"
#include "platform/Interruption.h"
#include "platform/Log.h"
#include "platform/SystemTime.h"
#include "platform/OffscreenDisplay.h"
#include "platform/ProgressMeter.h"
#include "demo/DemoTimeline.h"
#include "video/VideoWriter.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>

namespace velmorra {

namespace {

constexpr const char* standardOutput = "-";

long frameAt(double seconds) {
    return std::lround(seconds * static_cast<double>(FrameClock::framesPerSecond));
}

// The timeline's share of the recorded frames' time, for the summary: it moves the liquid.
class TimedTimeline {
  public:
    TimedTimeline(const OffscreenDisplay& display, long firstRecorded)
        : display(display), firstRecorded(firstRecorded) {}

    void operator()() {
        const double start = steadySeconds();
        demoTimeline();
        if (display.framesPresented() >= firstRecorded) {
            seconds += steadySeconds() - start;
        }
    }
    double spent() const { return seconds; }

  private:
    const OffscreenDisplay& display;
    long firstRecorded;
    double seconds = 0.0;
};

void logSelectedCapture(const CommandLineOptions& options, long firstFrame, long endFrame) {
    write("Selected capture: %dx%d to %s, frames %ld to %ld at %d fps\n", options.captureWidth,
          options.captureHeight, options.capturePath == "-" ? "standard output"
                                                             : options.capturePath.c_str(),
          firstFrame, endFrame - 1, static_cast<int>(FrameClock::framesPerSecond));
}

VideoSettings videoSettings(const CommandLineOptions& options) {
    VideoSettings settings;
    settings.path = options.capturePath;
    settings.width = options.captureWidth;
    settings.height = options.captureHeight;
    settings.framesPerSecond = static_cast<int>(FrameClock::framesPerSecond);
    std::error_code error;
    if (std::filesystem::exists(RunSequence::musicFile, error)) {
        settings.musicPath = RunSequence::musicFile;
    }
    settings.musicStartSeconds = options.fromSeconds;
    return settings;
}

void printSummary(const OffscreenDisplay& display, const VideoWriter& writer, long firstFrame,
                  double wallSeconds, double timelineSeconds) {
    const long frames = writer.framesWritten();
    const OffscreenDisplay::Timings& spent = display.timings();
    const VideoWriter::Timings encoder = writer.timings();
    std::fprintf(stderr,
                 "Captured %ld frames (%.2f s of the demo) in %.1f s (%.1f frames/s).\n"
                 "  main thread: lead-in (%ld frames) %.1f s, simulation %.1f s, drawing %.1f s, "
                 "readback %.1f s, waiting for the encoder %.1f s\n"
                 "  encoder threads: conversion %.1f s, video %.1f s, audio %.1f s, muxing %.1f "
                 "s\n",
                 frames, static_cast<double>(frames) / FrameClock::framesPerSecond, wallSeconds,
                 wallSeconds > 0 ? static_cast<double>(frames) / wallSeconds : 0.0, firstFrame,
                 spent.leadIn, timelineSeconds, spent.drawing - timelineSeconds,
                 spent.readback, spent.handing, encoder.convert, encoder.encodeVideo,
                 encoder.encodeAudio, encoder.mux);
}

CommandLineOptions withOutputFromHere(const CommandLineOptions& given) {
    CommandLineOptions options = given;
    std::error_code error;
    if (options.capturePath != standardOutput) {
        const std::filesystem::path absolute = std::filesystem::absolute(options.capturePath, error);
        if (!error) {
            options.capturePath = absolute.string();
        }
    }
    return options;
}

int failWith(const std::string& reason) {
    std::fprintf(stderr, "velmorra: %s\n", reason.c_str());
    return 1;
}

// Everything from the open display to the last frame; returns the exit code.
int captureFrames(RunSequence& run, const CommandLineOptions& options, OffscreenDisplay& display) {
    const long firstFrame = frameAt(options.fromSeconds);
    const long endFrame = frameAt(options.toSeconds);
    VideoWriter writer;
    std::string error;
    if (!writer.open(videoSettings(options), error)) {
        write("Opening the video output... failed.\n\n");
        return failWith(error);
    }
    // Shared with the renderer's callback slot, which keeps a copy of the callable.
    auto timeline = std::make_shared<TimedTimeline>(display, firstFrame);
    std::optional<ProgressMeter> progress;
    double start = 0.0;
    RunSequence::Hooks hooks;
    hooks.timeline = [timeline] { (*timeline)(); };
    hooks.beforeFrameLoop = [&] {
        start = steadySeconds();
        if (firstFrame > 0) {
            std::fprintf(stderr, "Computing the %ld frames before %.2f s...\n", firstFrame,
                         options.fromSeconds);
        }
        progress.emplace(endFrame - firstFrame);
        display.record(
            firstFrame, endFrame,
            [&](std::vector<std::uint8_t>&& pixels) {
                const bool taken = writer.writeFrame(std::move(pixels));
                progress->update(display.framesPresented() - firstFrame + 1);
                return taken;
            },
            interrupted);
    };
    run.play(display, options.seed, hooks);
    if (progress) {
        progress->finish();
    }
    const bool finished = writer.finish(error);
    const double end = steadySeconds();
    if (!finished) {
        return failWith(error);
    }
    printSummary(display, writer, firstFrame, end - start, timeline->spent());
    return interrupted() ? 128 + interruptingSignal() : 0;
}

} // namespace

int runCapture(const CommandLineOptions& given) {
    catchInterruptions();
    keepFrameMemory();
    // The output is named from the start directory, the content is read in its own folder.
    const CommandLineOptions options = withOutputFromHere(given);
    RunSequence run;
    logSelectedCapture(given, frameAt(given.fromSeconds), frameAt(given.toSeconds));
    OffscreenDisplay display;
    std::string error;
    int exitCode = 1;
    if (display.open(options.captureWidth, options.captureHeight, error, options.renderer)) {
        exitCode = captureFrames(run, options, display);
    } else {
        failWith(error);
    }
    display.close();
    return exitCode;
}

} // namespace velmorra
