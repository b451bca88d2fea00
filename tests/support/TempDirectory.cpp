#include "support/TempDirectory.h"

#include "platform/Log.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmorra::test {

TempDirectory::TempDirectory() : previous(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmorra-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        directory = pattern;
        std::filesystem::current_path(directory);
    }
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    if (!directory.empty()) {
        std::filesystem::remove_all(directory, ignored);
    }
}

std::string TempDirectory::readFile(const std::string& name) const {
    std::ifstream file(directory / name, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

LogCapture::LogCapture() {
    closeLog();
    while (logDepth() > 0) {
        outdent();
    }
    openLog();
}

LogCapture::~LogCapture() {
    closeLog();
}

std::string LogCapture::text() {
    closeLog();
    return directory.readFile("debug.log");
}

} // namespace velmorra::test
