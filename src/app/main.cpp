#include "app/Application.h"
#include "app/CaptureRun.h"
#include "app/CommandLine.h"

#include <cstdio>

int main(int argc, char** argv) {
    using velmorra::CommandLine;
    const CommandLine::Result commandLine = CommandLine::parse(argc, argv);
    switch (commandLine.outcome) {
    case CommandLine::Outcome::ShowHelp:
    case CommandLine::Outcome::ShowVersion:
        std::fputs(commandLine.text.c_str(), stdout);
        return 0;
    case CommandLine::Outcome::UsageError:
        std::fputs(commandLine.text.c_str(), stderr);
        return 2;
    case CommandLine::Outcome::Run:
        break;
    }
    if (commandLine.options.capturing()) {
        // No window and no sound device: the music goes into the file.
        return velmorra::runCapture(commandLine.options);
    }
    return velmorra::runApplication(commandLine.options);
}
