#pragma once

#include <string>

namespace velmorra::tools {

// The typefaces the lettering is rendered from: always these files, never a
// font chosen by the system's configuration, so the pictures do not change
// with what else is installed. They come with the fonts-liberation package.
struct FontFiles {
    static std::string titleFont() {
        return "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
    }
    static std::string captionFont() {
        return "/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf";
    }
};

} // namespace velmorra::tools
