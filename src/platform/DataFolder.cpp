#include "platform/DataFolder.h"

#include <cstdlib>

namespace velmorra {

namespace {

const std::filesystem::path currentDirectory = ".";

bool holdsData(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder / "data", error);
}

} // namespace

std::vector<std::filesystem::path> DataFolder::candidates(const char* environmentValue,
                                                          const std::filesystem::path& executable) {
    std::vector<std::filesystem::path> folders;
    if (environmentValue != nullptr && *environmentValue != '\0') {
        folders.emplace_back(environmentValue);
    }
    if (!executable.empty()) {
        folders.push_back(
            (executable.parent_path() / ".." / "share" / "velmorra").lexically_normal());
    }
    folders.push_back(currentDirectory);
    return folders;
}

std::filesystem::path DataFolder::choose(const std::vector<std::filesystem::path>& candidates) {
    for (const std::filesystem::path& folder : candidates) {
        if (holdsData(folder)) {
            return folder;
        }
    }
    return currentDirectory;
}

std::filesystem::path DataFolder::locate() {
    return choose(candidates(std::getenv(environmentVariable), executablePath()));
}

std::filesystem::path DataFolder::executablePath() {
    // The kernel's link names the program itself, whatever symbolic link or
    // relative path it was started through.
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

} // namespace velmorra
