#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace velmorra::tools {

// Writes every picture and model of the demo, and the program's icons, into
// one directory. The same program on the same fonts writes the same bytes on
// every run.
class ContentGenerator {
  public:
    explicit ContentGenerator(std::string directory);

    // False (with a message on stderr) when a font is missing or a file cannot be written.
    bool generateAll();

    // The names of the files generateAll writes, in writing order.
    static std::vector<std::string> fileNames();

  private:
    bool writePicture(const std::string& name, const Canvas& canvas) const;
    // The program's icon at each size the desktop menus ask for, under icons/.
    bool writeIcons(const Canvas& lavaMap) const;
    bool writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

    std::string directory;
};

} // namespace velmorra::tools
