#include "content/MetaballPainter.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr double isoLevel = 1.0;
constexpr int marchSteps = 96;

} // namespace

MetaballPainter::MetaballPainter(std::vector<Ball> balls, const Canvas& sphereMap)
    : balls(std::move(balls)), sphereMap(sphereMap) {
    if (this->balls.empty()) {
        return;
    }
    const Ball& first = this->balls.front();
    nearest = farthest = first.centre.z;
    left = right = first.centre.x;
    top = bottom = first.centre.y;
    // Where the field of n balls reaches 1, some ball contributes at least 1/n,
    // so the surface lies within sqrt(n) radii of a centre.
    const double reach = std::sqrt(static_cast<double>(this->balls.size()));
    for (const Ball& ball : this->balls) {
        const double r = reach * ball.radius;
        nearest = std::max(nearest, ball.centre.z + r);
        farthest = std::min(farthest, ball.centre.z - r);
        left = std::min(left, ball.centre.x - r);
        right = std::max(right, ball.centre.x + r);
        top = std::min(top, ball.centre.y - r);
        bottom = std::max(bottom, ball.centre.y + r);
    }
}

// Each ball contributes (r / d)^2: 1 on its own surface, so a lone ball keeps its radius.
double MetaballPainter::field(Vec3 p) const {
    double sum = 0.0;
    for (const Ball& ball : balls) {
        const double d2 = std::max((p - ball.centre).dot(p - ball.centre), 1e-9);
        sum += ball.radius * ball.radius / d2;
    }
    return sum;
}

Vec3 MetaballPainter::gradient(Vec3 p) const {
    Vec3 sum;
    for (const Ball& ball : balls) {
        const Vec3 offset = p - ball.centre;
        const double d2 = std::max(offset.dot(offset), 1e-9);
        sum = sum + offset * (-2.0 * ball.radius * ball.radius / (d2 * d2));
    }
    return sum;
}

bool MetaballPainter::surfaceAt(double x, double y, Vec3& hit) const {
    const double step = (nearest - farthest) / marchSteps;
    double outside = nearest;
    for (int i = 1; i <= marchSteps; ++i) {
        const double z = nearest - step * i;
        if (field({x, y, z}) >= isoLevel) {
            double inside = z;
            for (int refine = 0; refine < 30; ++refine) {
                const double middle = 0.5 * (inside + outside);
                (field({x, y, middle}) >= isoLevel ? inside : outside) = middle;
            }
            hit = {x, y, 0.5 * (inside + outside)};
            return true;
        }
        outside = z;
    }
    return false;
}

// The field falls outwards, so the outward normal is its negated gradient.
// Canvas rows run downwards while the sphere map's t runs upwards.
Rgb MetaballPainter::shade(const Vec3& hit) const {
    const Vec3 normal = (-gradient(hit)).normalized();
    const double s = 0.5 + 0.5 * normal.x;
    const double t = 0.5 - 0.5 * normal.y;
    const Rgb reflected = sphereMap.sample(s, t);
    const Vec3 light = Vec3{-0.4, -0.6, 0.7}.normalized();
    const double highlight = std::pow(std::max(0.0, normal.dot(light)), 40.0);
    return reflected * 1.1f + Rgb::grey(static_cast<float>(highlight * 0.8));
}

void MetaballPainter::paint(Canvas& canvas, int samplesPerAxis) const {
    const float weight = 1.0f / static_cast<float>(samplesPerAxis * samplesPerAxis);
    for (int y = 0; y < canvas.getHeight(); ++y) {
        for (int x = 0; x < canvas.getWidth(); ++x) {
            if (x + 1 < left || x > right || y + 1 < top || y > bottom) {
                continue;
            }
            Rgb sum;
            int covered = 0;
            for (int j = 0; j < samplesPerAxis; ++j) {
                for (int i = 0; i < samplesPerAxis; ++i) {
                    Vec3 hit;
                    if (surfaceAt(x + (i + 0.5) / samplesPerAxis, y + (j + 0.5) / samplesPerAxis,
                                  hit)) {
                        sum += shade(hit);
                        ++covered;
                    }
                }
            }
            if (covered > 0) {
                canvas.blend(x, y, sum * (1.0f / static_cast<float>(covered)),
                             static_cast<float>(covered) * weight);
            }
        }
    }
}

} // namespace velmorra::tools
