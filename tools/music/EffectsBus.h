#pragma once

#include "music/StereoBuffer.h"

namespace velmorra::tools {

// What the send bus goes through before it joins the mix: a dotted-eighth
// echo on the left and a quarter-note echo on the right, both darkening as
// they repeat, then a small room (four combs and two all-passes per side).
class EffectsBus {
  public:
    // Adds the processed send to `mix`.
    static void apply(const StereoBuffer& send, StereoBuffer& mix, double beatSeconds);
};

} // namespace velmorra::tools
