// Rasterises the 1-bit glyphs of characters 0-255 with the desktop's FreeType into a glyph file,
// which the browser build preloads and draws its text from (it has no FreeType of its own).
//
//   velmorra_rasterise_glyphs [out [face height]]
//       out defaults to data/glyphs.bin, face and height to the demo's font (DemoFont).
#include "render/DemoFont.h"
#include "render/FontFace.h"
#include "render/GlyphFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using velmorra::DemoFont;
using velmorra::FontFace;
using velmorra::GlyphBitmap;
using velmorra::GlyphFile;

namespace {

int usage() {
    std::fprintf(stderr, "usage: velmorra_rasterise_glyphs [out [face height]]\n");
    return 2;
}

// A character the face has no glyph for keeps an empty one, as the desktop's text draws it.
std::vector<GlyphBitmap> rasteriseAll(const FontFace& face) {
    std::vector<GlyphBitmap> glyphs(GlyphFile::glyphCount);
    for (int character = 0; character < GlyphFile::glyphCount; ++character) {
        face.rasterise(static_cast<unsigned char>(character),
                       glyphs[static_cast<std::size_t>(character)]);
    }
    return glyphs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 1 && argc != 2 && argc != 4) {
        return usage();
    }
    const std::string out = argc > 1 ? argv[1] : DemoFont::glyphFile;
    const std::string faceName = argc > 2 ? argv[2] : DemoFont::faceName;
    char* end = nullptr;
    const long height = argc > 3 ? std::strtol(argv[3], &end, 10) : DemoFont::pixelHeight;
    if ((end != nullptr && *end != '\0') || height < 1 || height > GlyphFile::largestPixelHeight) {
        return usage();
    }
    FontFace face;
    if (!face.open(faceName.c_str(), static_cast<int>(height))) {
        std::fprintf(stderr, "no font found for %s\n", faceName.c_str());
        return 1;
    }
    const GlyphFile file(faceName, static_cast<int>(height), rasteriseAll(face));
    const std::filesystem::path folder = std::filesystem::path(out).parent_path();
    std::error_code ignored;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ignored);
    }
    if (!file.write(out)) {
        const std::string fault = file.fault();
        std::fprintf(stderr, "cannot write %s%s%s\n", out.c_str(), fault.empty() ? "" : ": ",
                     fault.c_str());
        return 1;
    }
    std::printf("wrote %s: %d glyphs of %s at %ld pixels, %zu bytes\n", out.c_str(),
                GlyphFile::glyphCount, faceName.c_str(), height, file.toBytes().size());
    return 0;
}
