#pragma once

#include "Canvas.h"
#include "content/GradientNoise.h"

#include <functional>

namespace velmorra::tools {

// The models' stone surfaces, 256 x 256 and seamless in both directions, so
// they can repeat around a lathed shape without a visible joint.
class StoneTexture {
  public:
    static constexpr int size = 256;

    // Pale marble with grey-green veins: the basin and the columns.
    static Canvas marble();
    // Warm layered sandstone, worn and pitted: the steps.
    static Canvas sandstone();
    // Dark, rough basalt with rust and lichen: the boulders.
    static Canvas basalt();
    // Speckled pink-grey granite with a polished sheen: the cup.
    static Canvas granite();

  private:
    // `shade` gets coordinates from 0 to 1 across the tile.
    static Canvas paint(const std::function<Rgb(double u, double v)>& shade);
};

} // namespace velmorra::tools
