#include "scene/ChunkCursor.h"

#include "math/BitCast.h"

namespace velmorra {

std::uint32_t ChunkCursor::readLittleEndian(std::size_t size) {
    if (remaining() < size) {
        offset = bytes.size();
        overrun = true;
        return 0;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    offset += size;
    return value;
}

std::uint8_t ChunkCursor::read8() {
    return static_cast<std::uint8_t>(readLittleEndian(1));
}

std::uint16_t ChunkCursor::read16() {
    return static_cast<std::uint16_t>(readLittleEndian(2));
}

std::uint32_t ChunkCursor::read32() {
    return readLittleEndian(4);
}

float ChunkCursor::readFloat() {
    return bitCast<float>(read32());
}

void ChunkCursor::skip(std::size_t count) {
    if (remaining() < count) {
        offset = bytes.size();
        overrun = true;
        return;
    }
    offset += count;
}

std::string ChunkCursor::readName(bool* terminated) {
    std::string name;
    bool ended = false;
    while (!atEnd() && !ended) {
        const auto c = static_cast<char>(bytes[offset++]);
        ended = c == '\0';
        if (!ended) {
            name.push_back(c);
        }
    }
    if (terminated != nullptr) {
        *terminated = ended;
    }
    return name;
}

bool ChunkCursor::nextChunk(std::uint16_t& id, ChunkCursor& content) {
    if (atEnd()) {
        return false;
    }
    if (remaining() < headerSize) {
        offset = bytes.size();
        damaged = true;
        return false;
    }
    id = read16();
    const std::uint32_t length = read32();
    if (length < headerSize) {
        offset = bytes.size();
        damaged = true;
        return false;
    }
    const bool overruns = length - headerSize > remaining();
    const std::size_t contentSize = overruns ? remaining() : length - headerSize;
    content = ChunkCursor(bytes.subspan(offset, contentSize));
    content.cut = overruns;
    offset += contentSize;
    return true;
}

} // namespace velmorra
