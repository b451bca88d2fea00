#include "app/SettingsDialog.h"

namespace velmorra {

// Until the native dialog exists every showing answers Start with the defaults.
bool showSettingsDialog(const void* /*instance*/, DisplaySettings& settings) {
    settings = DisplaySettings{};
    return true;
}

} // namespace velmorra
