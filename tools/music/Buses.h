#pragma once

// Every voice of the music writes its notes into two buses: the dry mix and
// the send that goes through the echo and the room.
#include "music/StereoBuffer.h"

namespace velmorra::tools {

struct Buses {
    StereoBuffer& dry;
    StereoBuffer& send;
};

} // namespace velmorra::tools
