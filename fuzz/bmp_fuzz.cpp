// Feeds arbitrary bytes to the BMP reader, which reads files a user can
// replace. Every image it accepts must be fully readable at the size it claims;
// every file it refuses must be named a reason.

#include "render/Image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

// Small enough that an accepted header never stalls the run on one huge
// allocation; the size checks themselves are the same at any limit.
constexpr int largestFuzzedSide = 1024;

// Reading every pixel byte lets AddressSanitizer check the whole array.
volatile unsigned pixelSum = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmorra::Image image;
    if (!image.loadFromMemory(std::span<const std::uint8_t>(data, size), largestFuzzedSide)) {
        if (image.getWidth() != 0 || image.getHeight() != 0 || image.getRefusal().empty()) {
            std::abort(); // a refused file leaves the image empty and says why
        }
        return 0;
    }
    if (image.getWidth() <= 0 || image.getHeight() <= 0 || image.getWidth() > largestFuzzedSide ||
        image.getHeight() > largestFuzzedSide) {
        std::abort();
    }
    const std::size_t bytes = static_cast<std::size_t>(image.getWidth()) * image.getHeight() * 3;
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        sum += image.getPixels()[i];
    }
    pixelSum = sum;
    return 0;
}
