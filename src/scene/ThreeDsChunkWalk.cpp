#include "scene/ThreeDsChunkWalk.h"

#include "platform/Log.h"
#include "scene/ThreeDsLoader.h"

namespace velmorra {

bool ThreeDsChunkWalk::mayDescend(int depth) {
    if (depth < ThreeDsLoader::nestingLimit) {
        return true;
    }
    write("Warning: chunks nested too deeply, skipped.\n");
    return false;
}

std::string ThreeDsChunkWalk::readName(ChunkCursor& content, std::size_t limit, bool* terminated) {
    std::string name = content.readName(terminated);
    if (name.size() > limit) {
        write("Warning: name longer than %zu characters cut.\n", limit);
        name.resize(limit);
    }
    return name;
}

void ThreeDsChunkWalk::checkListFits(const ChunkCursor& content) {
    if (content.overran()) {
        write("Warning: list longer than its chunk, missing entries are zero.\n");
    }
}

void ThreeDsChunkWalk::reportCut(std::uint16_t id) {
    write("Warning: chunk 0x%04X runs past its parent, cut at the parent's end.\n",
          static_cast<unsigned>(id));
}

void ThreeDsChunkWalk::reportDamage() {
    write("Warning: damaged chunk, the rest of its level is skipped.\n");
}

} // namespace velmorra
