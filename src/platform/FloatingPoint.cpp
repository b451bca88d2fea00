#include "platform/FloatingPoint.h"

#include <cfenv>

namespace velmorra {

void disableFloatingPointTraps() {
    fedisableexcept(FE_ALL_EXCEPT);
}

} // namespace velmorra
