#include "platform/AcceleratedRenderer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace velmorra {

namespace {

// Mesa's llvmpipe renders on the processor too, but compiles its pipeline to
// vector code and runs the whole demo at the full 30 frames a second, so it is
// not among these: only rasterisers too slow to keep the frame rate are refused.
constexpr std::array<std::string_view, 4> legacySoftwareRasterizers = {
    "softpipe", "swrast", "software rasterizer", "gdi generic"};

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), word.begin(), word.end(), sameLetter) !=
           text.end();
}

} // namespace

bool isAcceleratedRenderer(const char* glRenderer) {
    if (glRenderer == nullptr) {
        return false;
    }
    const std::string_view name = glRenderer;
    return std::none_of(
        legacySoftwareRasterizers.begin(), legacySoftwareRasterizers.end(),
        [name](std::string_view software) { return containsIgnoringCase(name, software); });
}

} // namespace velmorra
