#pragma once

namespace velmorra {

// Ctrl+C (SIGINT) and SIGTERM, caught so that a long job can end cleanly instead
// of dying half-way: after `catchInterruptions`, `interrupted` turns true at the
// first such signal and stays so.
void catchInterruptions();
bool interrupted();
// The signal that arrived, 0 if none.
int interruptingSignal();

} // namespace velmorra
