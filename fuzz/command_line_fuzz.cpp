// Feeds arbitrary arguments to the command line's parse: the input's bytes split at each NUL,
// after the program's name. Whatever a user types, the parse ends in one outcome without
// crashing or throwing; the program then exits with 0 (help, version), 2 (usage error) or runs,
// and the run it starts is one the rest of the program can take.

#include "app/CommandLine.h"
#include "video/VideoWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using velmorra::CommandLine;
using velmorra::CommandLineOptions;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string> argumentsOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments{"velmorra"};
    if (size == 0) {
        return arguments;
    }
    arguments.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    return arguments;
}

bool evenSide(int side) {
    return side >= 64 && side <= 7680 && side % 2 == 0;
}

// The settings the dialog and the display offer, and a capture the video writer takes.
void checkRun(const CommandLineOptions& options) {
    const auto& display = options.display;
    const bool knownMode = (display.width == 640 && display.height == 480) ||
                           (display.width == 800 && display.height == 600) ||
                           (display.width == 1024 && display.height == 768);
    require(knownMode);
    require(display.depth == 16 || display.depth == 24 || display.depth == 32);
    require(options.fromSeconds >= 0.0 && options.fromSeconds < options.toSeconds &&
            options.toSeconds <= 162.0);
    if (options.capturing()) {
        require(options.noDialog);
        require(velmorra::VideoWriter::isSupportedPath(options.capturePath));
        require(evenSide(options.captureWidth) && evenSide(options.captureHeight));
    }
}

// Help and version go to standard output whole; a usage error is one line naming the program.
void checkText(const CommandLine::Result& result) {
    require(!result.text.empty() && result.text.back() == '\n');
    if (result.outcome == CommandLine::Outcome::UsageError) {
        require(result.text.rfind("velmorra: ", 0) == 0);
        require(result.text.find('\n') == result.text.size() - 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> arguments = argumentsOf(data, size);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    const CommandLine::Result result =
        CommandLine::parse(static_cast<int>(arguments.size()), argv.data());
    const std::optional<int> status = CommandLine::exitStatus(result.outcome);
    if (!status) {
        require(result.outcome == CommandLine::Outcome::Run);
        checkRun(result.options);
        return 0;
    }
    require(*status == 0 || *status == 2);
    require((*status == 2) == (result.outcome == CommandLine::Outcome::UsageError));
    checkText(result);
    return 0;
}
