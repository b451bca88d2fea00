#pragma once

#include "Canvas.h"
#include "Vec3.h"
#include "content/GradientNoise.h"

#include <functional>

namespace velmorra::tools {

// The starfield's 4 x 4 atlas of 64 x 64 sprites on black (they are added to
// the sky): soft glows, nebulae, planets with and without rings, a moon and
// galaxies. Every cell fades to black before its edge, so linear filtering
// never pulls a neighbour's light across.
class SpriteAtlas {
  public:
    static constexpr int cellSize = 64;
    static constexpr int cellsPerSide = 4;
    static constexpr int size = cellSize * cellsPerSide;

    SpriteAtlas();

    Canvas paint() const;

  private:
    // A cell's picture as a function of (x, y) from -1 to 1, y downwards.
    using Cell = std::function<Rgb(double x, double y)>;

    Canvas paintCell(const Cell& cell) const;
    Cell cellAt(int column, int row) const;

    Rgb glow(double x, double y, Rgb colour, double size) const;
    Rgb spikedStar(double x, double y) const;
    Rgb binaryStar(double x, double y) const;
    Rgb nebula(double x, double y, Rgb inner, Rgb outer, double seedOffset) const;
    Rgb ringNebula(double x, double y) const;
    Rgb planet(double x, double y, const Vec3& light, Rgb dark, Rgb bright, double bands,
               double radius) const;
    Rgb ringedPlanet(double x, double y, Rgb dark, Rgb bright, Rgb ring, double tilt) const;
    Rgb moon(double x, double y) const;
    Rgb spiralGalaxy(double x, double y) const;
    Rgb ellipticalGalaxy(double x, double y) const;

    GradientNoise surface;
    GradientNoise gas;
};

} // namespace velmorra::tools
