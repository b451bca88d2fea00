#include "content/SpaceBackdrop.h"

#include "SeededRandom.h"
#include "content/Shading.h"

#include <cmath>

namespace velmorra::tools {

SpaceBackdrop::SpaceBackdrop(std::uint64_t seed) : seed(seed), clouds(seed + 1), tint(seed + 2) {}

void SpaceBackdrop::paint(Canvas& canvas, int starCount) const {
    paintNebula(canvas);
    paintStars(canvas, starCount);
}

void SpaceBackdrop::paintNebula(Canvas& canvas) const {
    const double scale = 1.0 / canvas.getWidth();
    for (int y = 0; y < canvas.getHeight(); ++y) {
        const float height = static_cast<float>(y) / static_cast<float>(canvas.getHeight());
        const Rgb sky = Rgb::mix({0.05f, 0.03f, 0.13f}, {0.005f, 0.005f, 0.025f}, height);
        for (int x = 0; x < canvas.getWidth(); ++x) {
            const Vec3 p{x * scale * 2.2, y * scale * 2.2, 0.5};
            const double density = smoothstep(-0.1, 0.7, clouds.fractal(p, 6));
            const double hue = 0.5 + 0.5 * tint.fractal(p * 0.7, 3);
            const Rgb gas =
                Rgb::mix({0.32f, 0.08f, 0.42f}, {0.05f, 0.3f, 0.42f}, static_cast<float>(hue));
            canvas.set(x, y, sky + gas * static_cast<float>(density * 0.45));
        }
    }
}

void SpaceBackdrop::paintStars(Canvas& canvas, int starCount) const {
    SeededRandom random(seed);
    for (int i = 0; i < starCount; ++i) {
        const double x = random.between(0.0, canvas.getWidth());
        const double y = random.between(0.0, canvas.getHeight());
        const double brightness = std::pow(random.unit(), 3.0);
        const double size = 0.45 + 1.6 * brightness;
        const Rgb colour =
            Rgb::mix({0.75f, 0.85f, 1.0f}, {1.0f, 0.9f, 0.75f}, static_cast<float>(random.unit()));
        const int reach = static_cast<int>(std::ceil(size * 3.0));
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const int px = static_cast<int>(x) + dx;
                const int py = static_cast<int>(y) + dy;
                const double ox = px + 0.5 - x;
                const double oy = py + 0.5 - y;
                const double glow = std::exp(-(ox * ox + oy * oy) / (size * size));
                canvas.add(px, py, colour * static_cast<float>(glow * (0.35 + brightness)));
            }
        }
    }
}

} // namespace velmorra::tools
