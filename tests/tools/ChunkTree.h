#pragma once

// Reads a 3DS byte stream back into its chunk tree, independently of the
// writer, so tests can check the structure the writer produced.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velmorra::test {

struct Chunk {
    std::uint16_t id = 0;
    std::uint32_t length = 0;
    std::size_t offset = 0;     // of the header
    std::size_t dataOffset = 0; // first byte after the header and any leading payload
    std::vector<Chunk> children;

    const Chunk* find(std::uint16_t childId, int occurrence = 0) const {
        for (const Chunk& child : children) {
            if (child.id == childId && occurrence-- == 0) {
                return &child;
            }
        }
        return nullptr;
    }
    int count(std::uint16_t childId) const {
        int n = 0;
        for (const Chunk& child : children) {
            n += child.id == childId ? 1 : 0;
        }
        return n;
    }
};

class ChunkTree {
  public:
    explicit ChunkTree(std::vector<std::uint8_t> data) : bytes(std::move(data)) {
        consistent = parse(0, bytes.size(), roots);
    }

    // Every chunk's length fits its parent and the children tile their parent exactly.
    bool isConsistent() const { return consistent; }
    const std::vector<Chunk>& top() const { return roots; }

    std::uint16_t u16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
    }
    float f32(std::size_t at) const {
        const std::uint32_t bits = u32(at);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string name(std::size_t at) const {
        std::string text;
        while (at < bytes.size() && bytes[at] != 0) {
            text += static_cast<char>(bytes[at++]);
        }
        return text;
    }

    // The bytes a chunk's own content takes before its sub-chunks.
    static std::size_t payloadSize(std::uint16_t id, const std::vector<std::uint8_t>& bytes,
                                   std::size_t at) {
        switch (id) {
        case 0x4000: {
            std::size_t end = at;
            while (end < bytes.size() && bytes[end] != 0) {
                ++end;
            }
            return end + 1 - at; // the object's name
        }
        case 0x4120:
            return 2 + 8 * static_cast<std::size_t>(bytes[at] | bytes[at + 1] << 8);
        case 0x4600:
            return 12; // the light's position
        case 0xB000:
        case 0xB002:
        case 0x4D4D:
        case 0x3D3D:
        case 0x4100:
        case 0xAFFF:
        case 0xA010:
        case 0xA020:
        case 0xA030:
        case 0xA040:
        case 0xA200:
            return 0;
        default:
            return SIZE_MAX; // a leaf
        }
    }

  private:
    bool parse(std::size_t begin, std::size_t end, std::vector<Chunk>& out) const {
        std::size_t at = begin;
        while (at < end) {
            if (end - at < 6) {
                return false;
            }
            Chunk chunk;
            chunk.offset = at;
            chunk.id = u16(at);
            chunk.length = u32(at + 2);
            if (chunk.length < 6 || chunk.length > end - at) {
                return false;
            }
            const std::size_t contentEnd = at + chunk.length;
            const std::size_t payload = payloadSize(chunk.id, bytes, at + 6);
            chunk.dataOffset = at + 6;
            if (payload != SIZE_MAX) {
                if (payload > contentEnd - (at + 6) ||
                    !parse(at + 6 + payload, contentEnd, chunk.children)) {
                    return false;
                }
            }
            out.push_back(std::move(chunk));
            at = contentEnd;
        }
        return at == end;
    }

    std::vector<std::uint8_t> bytes;
    std::vector<Chunk> roots;
    bool consistent = false;
};

} // namespace velmorra::test
