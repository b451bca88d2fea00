#include "platform/WorkingDirectory.h"

namespace velmorra {

WorkingDirectory::WorkingDirectory(const std::filesystem::path& folder) {
    std::error_code error;
    start = std::filesystem::current_path(error);
    std::filesystem::current_path(folder, error);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(start, error);
}

} // namespace velmorra
