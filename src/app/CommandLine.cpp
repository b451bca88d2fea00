#include "app/CommandLine.h"

#include "video/VideoWriter.h"

#include "draw/BackendKind.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdio>

namespace velmorra {

namespace {

constexpr int minimumCaptureSide = 64;
constexpr int maximumCaptureSide = 7680;
constexpr double scheduleSeconds = 162.0;
constexpr std::array<std::array<int, 2>, 3> displayModes{{{640, 480}, {800, 600}, {1024, 768}}};
constexpr std::array<int, 3> colourDepths{16, 24, 32};

constexpr const char* usage =
    "Velmorra, a real-time 3D demo of a liquid, with its music.\n"
    "\n"
    "Usage: velmorra [options]\n"
    "  -h, --help                 this text\n"
    "  --version                  the program's version\n"
    "  --no-dialog                start at once with the settings below\n"
    "                             (default: the dialog's defaults, 800x600x16 full screen, no vsync)\n"
    "  --mode WxH[xBPP]           640x480, 800x600 or 1024x768; BPP 16, 24 or 32\n"
    "  --windowed | --fullscreen\n"
    "  --vsync | --no-vsync\n"
    "  --seed N                   start the demo's random numbers from N (default: the time)\n"
    "  --capture FILE             render offscreen to FILE instead of a window (no dialog, no\n"
    "                             window): .mp4 or .mkv (H.264 with the music), .y4m or - for\n"
    "                             YUV4MPEG2 on standard output\n"
    "  --size WxH                 capture size, even numbers, 64..7680 (default 1440x1080)\n"
    "  --from SECONDS             first moment of the schedule to capture (default 0)\n"
    "  --to SECONDS               last moment (default 162, the end of the schedule)\n"
    "  --renderer gl11|gles2      draw with OpenGL 1.1 (default) or OpenGL ES 2 shaders\n";

// Reads "WxH" or, when `depth` is given, "WxH" or "WxHxBPP". False unless the
// whole text is used.
bool readSize(const std::string& text, int& width, int& height, int* depth) {
    int used = 0;
    int bits = 0;
    if (depth != nullptr &&
        std::sscanf(text.c_str(), "%dx%dx%d%n", &width, &height, &bits, &used) == 3 &&
        used == static_cast<int>(text.size())) {
        *depth = bits;
        return true;
    }
    used = 0;
    return std::sscanf(text.c_str(), "%dx%d%n", &width, &height, &used) == 2 &&
           used == static_cast<int>(text.size()) && text.find_first_of("+- ") == std::string::npos;
}

std::string checkRenderer(const std::string& text) {
    return draw::backendNamed(text) ? "" : "gl11 or gles2, not '" + text + "'";
}

std::string checkMode(const std::string& text) {
    int width = 0;
    int height = 0;
    int depth = 16;
    if (!readSize(text, width, height, &depth)) {
        return "expected WxH or WxHxBPP, e.g. 800x600x32";
    }
    const bool knownMode =
        std::find(displayModes.begin(), displayModes.end(), std::array<int, 2>{width, height}) !=
        displayModes.end();
    if (!knownMode) {
        return "the display modes are 640x480, 800x600 and 1024x768";
    }
    if (std::find(colourDepths.begin(), colourDepths.end(), depth) == colourDepths.end()) {
        return "the colour depths are 16, 24 and 32";
    }
    return "";
}

std::string checkCaptureSize(const std::string& text) {
    int width = 0;
    int height = 0;
    if (!readSize(text, width, height, nullptr)) {
        return "expected WxH, e.g. 1440x1080";
    }
    const auto fits = [](int side) {
        return side >= minimumCaptureSide && side <= maximumCaptureSide && side % 2 == 0;
    };
    if (!fits(width) || !fits(height)) {
        return "width and height must be even numbers from 64 to 7680";
    }
    return "";
}

std::string checkCapturePath(const std::string& path) {
    if (VideoWriter::isSupportedPath(path)) {
        return "";
    }
    return "the capture file must end in .mp4, .mkv or .y4m, or be - for standard output";
}

std::string checkMoment(const std::string& text) {
    double seconds = 0.0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%lf%n", &seconds, &used) != 1 ||
        used != static_cast<int>(text.size()) || !(seconds >= 0.0 && seconds <= scheduleSeconds)) {
        return "expected seconds from 0 to 162";
    }
    return "";
}

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

struct RawOptions {
    std::string mode;
    std::string size;
    bool windowed = false;
    bool fullscreen = false;
    bool vsync = false;
    bool noVsync = false;
    std::string renderer;
    std::uint32_t seed = 0;
};

void applyDisplay(const RawOptions& raw, DisplaySettings& display) {
    if (!raw.mode.empty()) {
        int depth = display.depth;
        readSize(raw.mode, display.width, display.height, &depth);
        display.depth = depth;
    }
    if (raw.windowed || raw.fullscreen) {
        display.fullscreen = raw.fullscreen;
    }
    if (raw.vsync || raw.noVsync) {
        display.vsyncOff = raw.noVsync;
    }
}

} // namespace

const char* CommandLine::version() {
    return VELMORRA_VERSION;
}

std::optional<int> CommandLine::exitStatus(Outcome outcome) {
    switch (outcome) {
    case Outcome::ShowHelp:
    case Outcome::ShowVersion:
        return 0;
    case Outcome::UsageError:
        return 2;
    case Outcome::Run:
        break;
    }
    return std::nullopt;
}

CommandLine::Result CommandLine::parse(int argc, const char* const* argv) {
    Result result;
    CommandLineOptions& options = result.options;
    RawOptions raw;

    CLI::App app{"Velmorra, a real-time 3D demo of a liquid, with its music.", "velmorra"};
    app.set_version_flag("--version", std::string("velmorra ") + version());
    app.add_flag("--no-dialog", options.noDialog,
                 "start at once with the settings below (default: the dialog's defaults)");
    auto* mode = app.add_option("--mode", raw.mode, "640x480, 800x600 or 1024x768; BPP 16, 24 or 32")
                     ->type_name("WxH[xBPP]")
                     ->check(CLI::Validator(checkMode, "", "mode"));
    auto* windowed = app.add_flag("--windowed", raw.windowed, "play in a window");
    auto* fullscreen = app.add_flag("--fullscreen", raw.fullscreen, "play on the full screen");
    auto* vsync = app.add_flag("--vsync", raw.vsync, "wait for the screen's vertical sync");
    auto* noVsync = app.add_flag("--no-vsync", raw.noVsync, "do not wait for vertical sync");
    auto* seed = app.add_option("--seed", raw.seed,
                                "start the demo's random numbers from N (default: the time)")
                     ->type_name("N");
    auto* capture =
        app.add_option("--capture", options.capturePath,
                       "render offscreen to FILE (.mp4, .mkv, .y4m, or - for YUV4MPEG2 on "
                       "standard output) instead of a window")
            ->type_name("FILE")
            ->check(CLI::Validator(checkCapturePath, "", "file"));
    auto* size = app.add_option("--size", raw.size,
                                "capture size, even numbers, 64..7680 (default 1440x1080)")
                     ->type_name("WxH")
                     ->check(CLI::Validator(checkCaptureSize, "", "size"));
    auto* from = app.add_option("--from", options.fromSeconds,
                                "first moment of the schedule to capture (default 0)")
                     ->type_name("SECONDS")
                     ->check(CLI::Validator(checkMoment, "", "seconds"));
    auto* to = app.add_option("--to", options.toSeconds,
                              "last moment of the schedule to capture (default 162, the end)")
                   ->type_name("SECONDS")
                   ->check(CLI::Validator(checkMoment, "", "seconds"));
    app.add_option("--renderer", raw.renderer, "gl11 (OpenGL 1.1, the default) or gles2 (OpenGL ES 2)")
        ->type_name("NAME")
        ->check(CLI::Validator(checkRenderer, "", "renderer"));
    windowed->excludes(fullscreen);
    vsync->excludes(noVsync);
    for (CLI::Option* displayOption : {mode, windowed, fullscreen, vsync, noVsync}) {
        displayOption->needs("--no-dialog");
        capture->excludes(displayOption);
    }
    for (CLI::Option* captureOption : {size, from, to}) {
        captureOption->needs(capture);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        result.outcome = Outcome::ShowHelp;
        result.text = usage;
        return result;
    } catch (const CLI::CallForVersion&) {
        result.outcome = Outcome::ShowVersion;
        result.text = std::string("velmorra ") + version() + "\n";
        return result;
    } catch (const CLI::ParseError& error) {
        result.outcome = Outcome::UsageError;
        result.text = "velmorra: " + oneLine(error.what()) + " (see velmorra --help)\n";
        return result;
    }
    if (!(options.fromSeconds < options.toSeconds)) {
        result.outcome = Outcome::UsageError;
        result.text = "velmorra: --from must come before --to (see velmorra --help)\n";
        return result;
    }
    applyDisplay(raw, options.display);
    if (!raw.size.empty()) {
        readSize(raw.size, options.captureWidth, options.captureHeight, nullptr);
    }
    if (seed->count() > 0) {
        options.seed = raw.seed;
    }
    if (!raw.renderer.empty()) {
        options.renderer = *draw::backendNamed(raw.renderer);
    }
    if (options.capturing()) {
        options.noDialog = true;
    }
    return result;
}

} // namespace velmorra
