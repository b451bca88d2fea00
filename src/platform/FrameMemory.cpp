#include "platform/FrameMemory.h"

#include <malloc.h>

namespace velmorra {

namespace {

// The most glibc accepts on 64-bit systems; frames up to 4096 x 2048 RGBA fit.
constexpr int largestKeptBlock = 32 * 1024 * 1024;

} // namespace

void keepFrameMemory() {
    // Blocks below the threshold come from the heap rather than a mapping of their own, and
    // the heap gives memory back only when more than the trim threshold is free at its top.
    mallopt(M_MMAP_THRESHOLD, largestKeptBlock);
    mallopt(M_TRIM_THRESHOLD, 4 * largestKeptBlock);
}

} // namespace velmorra
