#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velmorra {

// Finds the file a texture name from a model file means here. Modelling tools on other systems
// write folders ("maps\brick.bmp", "C:\scenes\brick.bmp") and letter case ("BRICK.BMP") that
// may mean nothing on this one.
class TextureFileLookup {
  public:
    // The first existing file of: the name as it stands (relative to the current directory),
    // its last path component (after the last '/' or '\'), then the same two ignoring letter
    // case, folder by folder, where either separator counts. Among names that differ only in
    // case the first in name order is taken. Without any, the name as it stands, which then
    // fails to load as any missing file does.
    static std::string find(const std::string& name);

  private:
    static std::string lastComponent(const std::string& name);
    static bool isFile(const std::string& path);
    static std::optional<std::string> ignoringCase(const std::string& name);
    static std::optional<std::string> entryIgnoringCase(const std::filesystem::path& folder,
                                                        const std::string& entry);
};

} // namespace velmorra
