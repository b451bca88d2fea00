#include "platform/FloatingPoint.h"

namespace velmorra {

// WebAssembly's floating point never traps.
void disableFloatingPointTraps() {}

} // namespace velmorra
