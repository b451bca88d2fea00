#pragma once

#include <filesystem>
#include <vector>

namespace velmorra {

// The demo loads its content by relative names under "./data", so it runs from
// a folder that holds data/. That folder is the first of these that has one:
//   1. $VELMORRA_DATA, when set and not empty;
//   2. ../share/velmorra beside the executable (an installation's layout:
//      <prefix>/bin/velmorra and <prefix>/share/velmorra/data);
//   3. the current directory (a source tree's root).
// When none has data/, the current directory is kept and the loads fail and are
// logged as they would anywhere.
class DataFolder {
  public:
    static std::vector<std::filesystem::path> candidates(const char* environmentValue,
                                                         const std::filesystem::path& executable);
    static std::filesystem::path choose(const std::vector<std::filesystem::path>& candidates);

    // The folder for this process, from its environment and its executable's path.
    static std::filesystem::path locate();
    static std::filesystem::path executablePath();

    static constexpr const char* environmentVariable = "VELMORRA_DATA";
};

} // namespace velmorra
