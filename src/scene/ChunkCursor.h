#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmorra {

// Reads little-endian values from one chunk of a 3DS file, or from any other span of bytes,
// and never past its end: a value that does not fit reads as zero and leaves the cursor at the
// end, so a list that claims more entries than its chunk holds comes out zero-filled.
class ChunkCursor {
  public:
    // A chunk header is an id and a length that counts the header's own six bytes.
    static constexpr std::size_t headerSize = 6;

    ChunkCursor() = default;
    explicit ChunkCursor(std::span<const std::uint8_t> bytes) : bytes(bytes) {}

    bool atEnd() const { return offset >= bytes.size(); }
    std::size_t remaining() const { return bytes.size() - offset; }
    // Whether a read wanted more bytes than were left.
    bool overran() const { return overrun; }
    // Whether a walk over the sub-chunks stopped at a damaged header rather than at the end.
    bool isDamaged() const { return damaged; }
    // Whether this chunk's stated length ran past its parent, so that it was cut at the
    // parent's end (a file cut short ends every chunk that was open there this way).
    bool isCut() const { return cut; }

    std::uint8_t read8();
    std::uint16_t read16();
    std::uint32_t read32();
    float readFloat();
    // Moves past `count` bytes, or to the end (an overrun) when fewer remain.
    void skip(std::size_t count);
    // A NUL-terminated name; one without its NUL ends with the span, and `terminated` (when
    // given) tells which.
    std::string readName(bool* terminated = nullptr);

    // The next sub-chunk: its id, and a cursor over its content, past which this cursor moves.
    // A sub-chunk whose length runs past what remains is cut to what remains (isCut). False at
    // the end, and also when fewer than a header's bytes remain or the length is shorter than
    // the header itself; the cursor then moves to the end, so a damaged chunk ends the walk of
    // its level.
    bool nextChunk(std::uint16_t& id, ChunkCursor& content);

  private:
    std::uint32_t readLittleEndian(std::size_t size);

    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    bool overrun = false;
    bool damaged = false;
    bool cut = false;
};

} // namespace velmorra
