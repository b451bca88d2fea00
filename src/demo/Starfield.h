#pragma once

#include "scene/Background.h"
#include "math/Random.h"
#include "math/Vector3.h"
#include "render/Texture.h"

#include <vector>

namespace velmorra {

// Grey points scattered through a ball around the viewer, in three batches of
// point sizes, and sixteen sprites cut from a 4 x 4 texture atlas lying on the
// ball's surface. Both are compiled into display lists once.
class Starfield : public Background {
  public:
    struct Star {
        Vector3 position;
        float grey = 0.0f;
    };

    Starfield() = default;
    ~Starfield() override;

    // Needs a current GL context. Only the first call does anything; it takes
    // its random draws from `random`. Without a sprite file there are no sprites.
    void build(float radius, float brightness, int count, const char* spriteFile, float spriteSize,
               Random& random);
    void release() override;
    void render() override;
    int update() override { return 0; }

    // The stars of one build, in the order their draws are taken.
    static std::vector<Star> generateStars(float radius, float brightness, int count,
                                           Random& random);
    // First index of the 1.5-sized batch and of the 1.0-sized batch; the stars
    // before the first are drawn at size 2.
    static int mediumBatchStart(int count) { return count / 4; }
    static int smallBatchStart(int count) { return count / 2; }

  private:
    void compilePoints(const std::vector<Star>& stars, int count);
    void compileSprites(float radius, float spriteSize, Random& random);

    unsigned int pointList = 0;
    unsigned int spriteList = 0;
    Texture spriteTexture;
    bool pointsBuilt = false;
    bool spritesBuilt = false;
};

} // namespace velmorra
