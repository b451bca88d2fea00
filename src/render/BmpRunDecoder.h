#pragma once

#include "render/BmpLayout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

// Decodes RLE8 and RLE4 pixel data into RGB, bottom row first. Each code is two bytes. A count
// and a value make a run: of one index (RLE8) or of the value's two indices in turn, high
// nibble first (RLE4). A zero count is an escape: 0 ends the row, 1 ends the picture, 2 moves
// right and up by the next two bytes, and 3 to 255 give that many indices as they stand,
// padded to a whole 16-bit word. Runs may go on over a row's padding, as some writers (among
// them ImageMagick) code whole padded rows; those pixels are dropped. Pixels that no code reaches
// keep the palette's first colour; data that ends early ends the picture there.
class BmpRunDecoder {
  public:
    BmpRunDecoder(std::span<const std::uint8_t> bytes, const BmpLayout& layout);

    // False, naming why, when a code would write outside the picture or names an index past
    // the palette: nothing is written outside the picture, whatever the data.
    bool decode(std::vector<std::uint8_t>& rgb);
    const std::string& failure() const { return why; }

  private:
    enum class Step { next, end, failed };

    Step step(std::vector<std::uint8_t>& rgb);
    Step escape(std::uint8_t code, std::vector<std::uint8_t>& rgb);
    Step run(unsigned count, std::uint8_t value, std::vector<std::uint8_t>& rgb);
    Step absolute(unsigned count, std::vector<std::uint8_t>& rgb);
    Step move();
    bool put(unsigned index, std::vector<std::uint8_t>& rgb);
    Step fail(const char* what);

    std::span<const std::uint8_t> bytes;
    const BmpLayout& layout;
    const char* name;
    std::int64_t paddedWidth; // the row's pixels and the pixels its padding would hold
    std::size_t at;           // the next byte to read
    std::size_t codeAt;       // where the code being decoded begins
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::string why;
};

} // namespace velmorra
