#include "app/Application.h"
#include "app/CaptureRun.h"
#include "app/CommandLine.h"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    using velmorra::CommandLine;
    const CommandLine::Result commandLine = CommandLine::parse(argc, argv);
    if (const std::optional<int> status = CommandLine::exitStatus(commandLine.outcome)) {
        const bool error = commandLine.outcome == CommandLine::Outcome::UsageError;
        std::fputs(commandLine.text.c_str(), error ? stderr : stdout);
        return *status;
    }
    if (commandLine.options.capturing()) {
        // No window and no sound device: the music goes into the file.
        return velmorra::runCapture(commandLine.options);
    }
    return velmorra::runApplication(commandLine.options);
}
