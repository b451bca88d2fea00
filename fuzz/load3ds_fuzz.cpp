// Feeds arbitrary bytes to the 3DS loader, which reads model files a user can replace. There is
// no GL context: the GL calls of mesh building and texture loading do nothing, and the loader's
// parsing, its meshes' arrays and their welded normals are what is exercised.
//
// A list in a 3DS file is a 16-bit count and its entries; one that claims more entries than its
// chunk holds is read zero-filled. Left to chance, a mutated count is in the tens of thousands,
// and nearly one input in twenty became a mesh of some 65,000 zero vertices whose welding and
// display list took tens of milliseconds: most of the fuzzer's time, spent on what a few missing
// entries exercise just as well. So each mutation is followed by keeping every list's count to
// what its chunk could hold plus a few (listSlack): the zero-filling stays reachable, and a
// mesh is at most as large as -max_len lets the input make it.

#include "scene/MeshElement.h"
#include "scene/Object.h"
#include "scene/ThreeDsChunk.h"
#include "scene/ThreeDsLoader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

using velmorra::ThreeDsChunk;

// The fuzzer's own checks and its bounding of the counts are no part of what is explored: their
// comparisons would each cost a coverage callback (a fifth of the run time when measured) and
// fill the table of compared values that mutations draw from.
#define VELMORRA_NOT_EXPLORED __attribute__((no_sanitize("coverage")))

volatile float checksum = 0.0f;

// How many entries past what its chunk holds a list may claim.
constexpr std::size_t listSlack = 16;

struct ListChunk {
    std::uint16_t id;
    std::size_t entryBytes;
};
constexpr ListChunk listChunks[] = {
    {ThreeDsChunk::vertexList, 12}, {ThreeDsChunk::mapping, 8}, {ThreeDsChunk::faceList, 8}};

VELMORRA_NOT_EXPLORED std::uint32_t littleEndian(const std::uint8_t* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// Wherever the input holds a list chunk's header and count (whether or not the loader will meet
// it there), the count is cut to what the chunk's stated length and the input's end leave room
// for, plus listSlack. The list ids all end in the byte 0x41, which memchr finds quickly.
VELMORRA_NOT_EXPLORED void boundListCounts(std::uint8_t* data, std::size_t size) {
    constexpr std::uint8_t idHighByte = 0x41;
    static_assert(ThreeDsChunk::vertexList >> 8 == idHighByte &&
                  ThreeDsChunk::mapping >> 8 == idHighByte &&
                  ThreeDsChunk::faceList >> 8 == idHighByte);
    for (std::size_t at = 0; at + 8 <= size; ++at) {
        const void* high = std::memchr(data + at + 1, idHighByte, size - at - 7);
        if (high == nullptr) {
            return;
        }
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(high) - data) - 1;
        const auto id = static_cast<std::uint16_t>(littleEndian(data + at, 2));
        for (const ListChunk& list : listChunks) {
            if (id != list.id) {
                continue;
            }
            const std::uint32_t length = littleEndian(data + at + 2, 4);
            const std::size_t content = std::min<std::size_t>(length < 8 ? 0 : length - 8,
                                                              size - at - 8);
            const std::size_t bound = content / list.entryBytes + listSlack;
            if (littleEndian(data + at + 6, 2) > bound) {
                data[at + 6] = static_cast<std::uint8_t>(bound & 0xFF);
                data[at + 7] = static_cast<std::uint8_t>(bound >> 8);
            }
        }
    }
}

// Texture names in the input are opened as files; nothing may wait on the terminal.
void detachStandardInput() {
    if (std::freopen("/dev/null", "rb", stdin) == nullptr) {
        std::abort();
    }
}

VELMORRA_NOT_EXPLORED bool isUnitOrZero(const velmorra::Vector3& n) {
    if (n == velmorra::Vector3{}) {
        return true;
    }
    return std::fabs(velmorra::length(n) - 1.0) < 1e-5;
}

// Every array of a built mesh is read whole, so AddressSanitizer sees its true size.
VELMORRA_NOT_EXPLORED void checkMesh(const velmorra::MeshElement& mesh) {
    if (!mesh.isBuilt()) {
        return;
    }
    const std::size_t count = mesh.getVertices().size();
    if (mesh.getNormals().size() != count || mesh.getTexCoords().size() != count) {
        std::abort();
    }
    float sum = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (!isUnitOrZero(mesh.getNormals()[i])) {
            std::abort();
        }
        sum += mesh.getVertices()[i].x + mesh.getTexCoords()[i].u + mesh.getNormals()[i].y;
    }
    for (const velmorra::Face& face : mesh.getFaces()) {
        sum += static_cast<float>(face[0] + face[1] + face[2]);
    }
    checksum = sum;
}

} // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int) {
    const std::size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
    boundListCounts(data, mutated);
    return mutated;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    detachStandardInput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmorra::Object object;
    velmorra::ThreeDsLoader loader;
    const bool loaded = loader.load(std::span<const std::uint8_t>(data, size), &object);
    const bool valid = size >= 2 && data[0] == 0x4D && data[1] == 0x4D;
    if (loaded != valid || (!loaded && object.getElementCount() != 0)) {
        std::abort();
    }
    for (int i = 0; i < object.getElementCount(); ++i) {
        const auto* mesh = dynamic_cast<const velmorra::MeshElement*>(object.getElement(i));
        if (mesh == nullptr) {
            std::abort();
        }
        checkMesh(*mesh);
    }
    return 0;
}
