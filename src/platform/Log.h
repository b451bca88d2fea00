#pragma once

namespace velmorra {

class StartupTimings;

// The process-wide debug log, "debug.log" in the current directory (or, where
// that cannot be written, in the user's state folder: see LogLocation). Every write
// is prefixed with two spaces per indentation level; writes while the log is
// closed are dropped. Every call is written through to the file, so a crash
// loses nothing that was logged.
void openLog();
void closeLog();
bool isLogOpen();

// printf-style; a null format writes nothing. Formatted text longer than the
// 3000-byte buffer is cut to it.
void write(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes text as it stands, without formatting and without length limit (the
// driver's extension string can be longer than the buffer, and may hold '%').
void writeText(const char* text);

void indent();
void outdent();
int logDepth();

// The start-up timings of the run in progress, which the steps of start-up report to (see
// StartupTimings); null detaches them. The run that attaches them detaches them before they go.
void attachStartupTimings(StartupTimings* timings);
StartupTimings* attachedStartupTimings();

} // namespace velmorra
