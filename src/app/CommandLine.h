#pragma once

#include "platform/DisplaySettings.h"

#include "draw/BackendKind.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmorra {

// What the user asked for on the command line. Without options: the dialog, then the demo.
struct CommandLineOptions {
    bool noDialog = false;
    // The dialog's defaults unless --mode, --windowed/--fullscreen, --vsync/--no-vsync say otherwise.
    DisplaySettings display;
    std::optional<std::uint32_t> seed;
    // Empty: play in a window. "-": YUV4MPEG2 on standard output.
    std::string capturePath;
    int captureWidth = 1440;
    int captureHeight = 1080;
    double fromSeconds = 0.0;
    double toSeconds = 162.0;
    draw::BackendKind renderer = draw::BackendKind::gl11;

    bool capturing() const { return !capturePath.empty(); }
};

// Reads the command line. Only `Run` starts the program; the others print `text`
// (usage or version on standard output, one line of error on standard error).
class CommandLine {
  public:
    enum class Outcome { Run, ShowHelp, ShowVersion, UsageError };

    struct Result {
        Outcome outcome = Outcome::Run;
        CommandLineOptions options;
        std::string text;
    };

    static Result parse(int argc, const char* const* argv);
    static const char* version();
    // The program's exit status when the outcome ends it at once: 0 after the help or the
    // version, 2 after a usage error. Run has none: the run's own result (0 or 1) is the status.
    static std::optional<int> exitStatus(Outcome outcome);
};

} // namespace velmorra
