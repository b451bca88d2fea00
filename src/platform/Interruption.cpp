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
}

bool interrupted() {
    return caughtSignal != 0;
}

int interruptingSignal() {
    return caughtSignal;
}

} // namespace velmorra
