#include "platform/LogLocation.h"

#include <sys/stat.h>

#include <cstdlib>

namespace velmorra {

namespace {

// Missing folders are made one by one with owner-only access, as the state
// folders of the base directory conventions are.
void makeFolders(const std::filesystem::path& folder) {
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        ::mkdir(partial.c_str(), 0700);
    }
}

} // namespace

std::filesystem::path LogLocation::stateFolder(const char* xdgStateHome, const char* home) {
    // A relative setting is invalid by the conventions and ignored.
    if (xdgStateHome != nullptr && std::filesystem::path(xdgStateHome).is_absolute()) {
        return std::filesystem::path(xdgStateHome) / "velmorra";
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".local" / "state" / "velmorra";
    }
    return {};
}

std::FILE* LogLocation::open(const char* fileName) {
    if (std::FILE* file = std::fopen(fileName, "wb")) {
        return file;
    }
    const std::filesystem::path folder =
        stateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (folder.empty()) {
        return nullptr;
    }
    makeFolders(folder);
    return std::fopen((folder / fileName).c_str(), "wb");
}

} // namespace velmorra
