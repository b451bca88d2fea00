#include "platform/Interruption.h"

#include <csignal>

namespace velmorra {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

void remember(int signalNumber) {
    caughtSignal = signalNumber;
}

} // namespace

void catchInterruptions() {
    struct sigaction action {};
    action.sa_handler = remember;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader of the output that goes away (a pipe closed early) makes the next write fail
    // with a reason instead of killing the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
}

bool interrupted() {
    return caughtSignal != 0;
}

int interruptingSignal() {
    return caughtSignal;
}

} // namespace velmorra
