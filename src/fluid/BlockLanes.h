#pragma once

#include "fluid/FieldKernel.h"

#include <cstddef>

namespace velmorra {

// The in-plane places of one block of a grid pass, for the vector kernels: sample s of a plane
// lies at (x[s % n], y[s / n]); lanes past the plane's last sample are marked, and the kernels
// give them an in-plane squared distance of 1, which keeps their sums finite.
struct BlockLanes {
    float x[fieldBlockSize];
    float y[fieldBlockSize];
    bool inPlane[fieldBlockSize];

    static BlockLanes of(const GridAxes& axes, std::size_t base) {
        const std::size_t n = axes.x.size();
        BlockLanes lanes{};
        for (std::size_t lane = 0; lane < fieldBlockSize; ++lane) {
            const std::size_t s = base + lane;
            lanes.inPlane[lane] = s < n * axes.y.size();
            lanes.x[lane] = lanes.inPlane[lane] ? axes.x[s % n] : 0.0f;
            lanes.y[lane] = lanes.inPlane[lane] ? axes.y[s / n] : 0.0f;
        }
        return lanes;
    }
};

} // namespace velmorra
