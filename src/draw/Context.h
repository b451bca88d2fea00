#pragma once

#include <cstddef>

namespace velmorra::draw {

enum class ContextString { version, renderer, vendor, extensions };

// What was handed to the driver since the context started: draw calls (a primitive run, a list
// called, a glyph drawn) and the vertices they took.
struct DrawStatistics {
    std::size_t drawCalls = 0;
    std::size_t vertices = 0;
};

DrawStatistics statistics();

// What the current context says of itself; null without a context.
const char* contextString(ContextString which);
// The texture units the multitexture extension offers (0 without it).
int maxTextureUnits();
// Returns once everything drawn so far is finished.
void finish();
// Starts everything drawn so far without waiting for it.
void flush();
// The framebuffer's lower-left `width` x `height` pixels into `rgba`: 4 bytes a pixel, rows
// bottom-up and tightly packed.
void readPixels(int width, int height, unsigned char* rgba);

} // namespace velmorra::draw
