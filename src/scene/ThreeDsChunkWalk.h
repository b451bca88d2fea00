#pragma once

#include "scene/ChunkCursor.h"
#include "scene/ThreeDsChunk.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmorra {

// How the 3DS loader's reading passes walk the chunk tree and what they report on the way: a
// chunk that runs past its parent, a damaged header, nesting too deep, a name or a list longer
// than it may be. Each report is one warning line in the debug log; the walk goes on with what
// can still be read.
class ThreeDsChunkWalk {
  public:
    // Calls visit(id, content) for every sub-chunk of a level, in file order. A chunk that runs
    // past its parent is read as far as the parent goes; a damaged header ends the level.
    template <typename Visit> static void forEachChunk(ChunkCursor level, Visit&& visit) {
        std::uint16_t id = 0;
        ChunkCursor content;
        while (level.nextChunk(id, content)) {
            if (content.isCut()) {
                reportCut(id);
            }
            visit(id, content);
        }
        if (level.isDamaged()) {
            reportDamage();
        }
    }

    // The same for every chunk inside the editor chunks of the file's top level.
    template <typename Visit> static void forEachEditorChunk(ChunkCursor top, Visit&& visit);

    // False, with a warning, when sub-chunks at `depth` are too deep to be read.
    static bool mayDescend(int depth);
    // A name cut to `limit` characters, with a warning when it was longer.
    static std::string readName(ChunkCursor& content, std::size_t limit, bool* terminated = nullptr);
    // Warns when a list claimed more entries than its chunk holds (they read as zero).
    static void checkListFits(const ChunkCursor& content);

  private:
    static void reportCut(std::uint16_t id);
    static void reportDamage();
};

template <typename Visit> void ThreeDsChunkWalk::forEachEditorChunk(ChunkCursor top, Visit&& visit) {
    forEachChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == ThreeDsChunk::editor) {
            forEachChunk(content, visit);
        }
    });
}

} // namespace velmorra
