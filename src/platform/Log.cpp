#include "platform/Log.h"

#include "platform/LogLocation.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace velmorra {

namespace {

constexpr std::size_t bufferSize = 3000;
constexpr const char* logFileName = "debug.log";

struct LogState {
    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    int depth = 0;
    StartupTimings* startupTimings = nullptr;
};

LogState& state() {
    static LogState log;
    return log;
}

void writeIndentation(std::FILE* file, int depth) {
    for (int level = 0; level < depth; ++level) {
        std::fputs("  ", file);
    }
}

} // namespace

void openLog() {
    LogState& log = state();
    if (log.file != nullptr) {
        return;
    }
    // Binary mode: "\n" is stored as one line feed whatever the platform.
    log.file = LogLocation::open(logFileName);
    if (log.file != nullptr) {
        log.buffer = std::make_unique<char[]>(bufferSize);
    }
}

void closeLog() {
    LogState& log = state();
    if (log.file != nullptr) {
        std::fclose(log.file);
        log.file = nullptr;
    }
    log.buffer.reset();
}

bool isLogOpen() {
    return state().file != nullptr;
}

// Each call reaches the file before it returns: the last lines before a crash are
// the ones that explain it. It costs a system call per call, and the frame loop
// writes a line only when a phase loads or frees a texture.
void write(const char* format, ...) {
    LogState& log = state();
    if (format == nullptr || log.file == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(log.buffer.get(), bufferSize, format, arguments);
    va_end(arguments);
    writeIndentation(log.file, log.depth);
    std::fputs(log.buffer.get(), log.file);
    std::fflush(log.file);
}

void writeText(const char* text) {
    LogState& log = state();
    if (text == nullptr || log.file == nullptr) {
        return;
    }
    writeIndentation(log.file, log.depth);
    std::fputs(text, log.file);
    std::fflush(log.file);
}

void indent() {
    ++state().depth;
}

void outdent() {
    int& depth = state().depth;
    if (depth > 0) {
        --depth;
    }
}

int logDepth() {
    return state().depth;
}

void attachStartupTimings(StartupTimings* timings) {
    state().startupTimings = timings;
}

StartupTimings* attachedStartupTimings() {
    return state().startupTimings;
}

} // namespace velmorra
