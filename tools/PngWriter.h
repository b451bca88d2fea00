#pragma once

#include "Canvas.h"
#include "content/CoverageMask.h"

#include <cstdint>
#include <vector>

namespace velmorra::tools {

// Writes a canvas as an 8-bit RGBA PNG, the format desktops take for
// application icons. The alpha channel comes from a coverage mask of the same
// size. Rows are stored unfiltered and deflated by zlib at its best level, so
// the same picture gives the same bytes.
class PngWriter {
  public:
    static std::vector<std::uint8_t> encode(const Canvas& canvas, const CoverageMask& alpha);
    // The CRC-32 that closes every chunk, over its type and data.
    static std::uint32_t chunkCrc(const std::uint8_t* bytes, std::size_t size);
};

} // namespace velmorra::tools
