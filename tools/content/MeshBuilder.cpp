#include "content/MeshBuilder.h"

#include "content/GradientNoise.h"

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace velmorra::tools {

namespace {

constexpr double pi = 3.14159265358979323846;

std::vector<double> cumulativeLengths(const std::vector<double>& x, const std::vector<double>& y,
                                      bool closed) {
    std::vector<double> lengths{0.0};
    const std::size_t n = x.size();
    const std::size_t steps = closed ? n : n - 1;
    for (std::size_t i = 0; i < steps; ++i) {
        const std::size_t j = (i + 1) % n;
        lengths.push_back(lengths.back() + std::hypot(x[j] - x[i], y[j] - y[i]));
    }
    return lengths;
}

// An icosahedron split `levels` times, on the unit sphere.
void unitSphere(int levels, std::vector<Vec3>& points, std::vector<std::array<int, 3>>& faces) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    points = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
              {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : points) {
        p = p.normalized();
    }
    faces = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
             {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
             {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<int, int>, int> middles;
        const auto middle = [&](int a, int b) {
            const std::pair<int, int> key{std::min(a, b), std::max(a, b)};
            const auto found = middles.find(key);
            if (found != middles.end()) {
                return found->second;
            }
            points.push_back(
                (points[static_cast<std::size_t>(a)] + points[static_cast<std::size_t>(b)])
                    .normalized());
            const int index = static_cast<int>(points.size()) - 1;
            middles.emplace(key, index);
            return index;
        };
        std::vector<std::array<int, 3>> finer;
        for (const auto& f : faces) {
            const int ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces = std::move(finer);
    }
}

} // namespace

MeshBuilder::Outline MeshBuilder::Outline::circle(int segments, int lobes) {
    Outline outline;
    for (int i = 0; i < segments; ++i) {
        const double angle = 2.0 * pi * i / segments;
        outline.x.push_back(std::cos(angle));
        outline.z.push_back(-std::sin(angle)); // counter-clockwise seen from +y
        outline.wave.push_back(lobes > 0 ? std::cos(angle * lobes) : 0.0);
    }
    return outline;
}

MeshBuilder::Outline MeshBuilder::Outline::roundedSquare(double cornerRadius, int pointsPerSide,
                                                         int pointsPerCorner) {
    Outline outline;
    const double inner = 1.0 - cornerRadius;
    // Corner centres in counter-clockwise order seen from +y, starting at +x, -z.
    const std::array<std::pair<double, double>, 4> centres{
        {{inner, -inner}, {-inner, -inner}, {-inner, inner}, {inner, inner}}};
    for (int corner = 0; corner < 4; ++corner) {
        const auto [cx, cz] = centres[static_cast<std::size_t>(corner)];
        const double start = pi * 0.5 * corner;
        for (int i = 0; i < pointsPerCorner; ++i) {
            const double angle = start + pi * 0.5 * i / (pointsPerCorner - 1);
            outline.x.push_back(cx + cornerRadius * std::cos(angle));
            outline.z.push_back(cz - cornerRadius * std::sin(angle));
        }
        const auto [nx, nz] = centres[static_cast<std::size_t>((corner + 1) % 4)];
        const double endAngle = start + pi * 0.5;
        const double ex = cx + cornerRadius * std::cos(endAngle),
                     ez = cz - cornerRadius * std::sin(endAngle);
        const double sx = nx + cornerRadius * std::cos(endAngle),
                     sz = nz - cornerRadius * std::sin(endAngle);
        for (int i = 1; i < pointsPerSide; ++i) {
            const double t = static_cast<double>(i) / pointsPerSide;
            outline.x.push_back(ex + (sx - ex) * t);
            outline.z.push_back(ez + (sz - ez) * t);
        }
    }
    outline.wave.assign(outline.x.size(), 0.0);
    return outline;
}

MeshBuilder::MeshBuilder(std::string name) : name(std::move(name)) {}

int MeshBuilder::addVertex(Vec3 position, double u, double v) {
    positions.push_back(position);
    mapping.push_back({static_cast<float>(u), static_cast<float>(v)});
    return vertexCount() - 1;
}

void MeshBuilder::addTriangle(int a, int b, int c) {
    const Vec3 pa = position(a), pb = position(b), pc = position(c);
    if ((pb - pa).cross(pc - pa).length() < 1e-12) {
        return;
    }
    triangles.insert(triangles.end(), {a, b, c});
}

MeshBuilder::Range MeshBuilder::addSweep(const Outline& outline,
                                         const std::vector<ProfilePoint>& profile, Vec3 centre,
                                         double uRepeat, double vPerUnit) {
    const int around = static_cast<int>(outline.x.size());
    const std::vector<double> aroundLength = cumulativeLengths(outline.x, outline.z, true);
    std::vector<double> radii, heights;
    for (const ProfilePoint& point : profile) {
        radii.push_back(point.radius);
        heights.push_back(point.height);
    }
    const std::vector<double> alongLength = cumulativeLengths(radii, heights, false);
    Range ring;
    for (std::size_t p = 0; p < profile.size(); ++p) {
        ring.first = vertexCount();
        for (int i = 0; i <= around; ++i) { // the seam's point twice, for its two u values
            const std::size_t k = static_cast<std::size_t>(i % around);
            const double scale = profile[p].radius * (1.0 + profile[p].relief * outline.wave[k]);
            addVertex(centre + Vec3{outline.x[k] * scale, profile[p].height, outline.z[k] * scale},
                      uRepeat * aroundLength[static_cast<std::size_t>(i)] / aroundLength.back(),
                      alongLength[p] * vPerUnit);
        }
        ring.last = vertexCount();
        if (p > 0) {
            const int previous = ring.first - (around + 1);
            for (int i = 0; i < around; ++i) {
                const int a = previous + i, b = previous + i + 1;
                const int c = ring.first + i + 1, d = ring.first + i;
                addTriangle(a, b, c);
                addTriangle(a, c, d);
            }
        }
    }
    return ring;
}

void MeshBuilder::addFlatCap(Range ring, double uvPerUnit) {
    const int count = ring.last - ring.first - 1; // the seam's point is in the ring twice
    Vec3 middle;
    for (int i = 0; i < count; ++i) {
        middle = middle + position(ring.first + i) * (1.0 / count);
    }
    const auto flat = [this, uvPerUnit](Vec3 p) {
        return addVertex(p, p.x * uvPerUnit, p.z * uvPerUnit);
    };
    const int centre = flat(middle);
    const int first = vertexCount();
    for (int i = 0; i < count; ++i) {
        flat(position(ring.first + i));
    }
    for (int i = 0; i < count; ++i) {
        addTriangle(centre, first + i, first + (i + 1) % count);
    }
}

void MeshBuilder::addBoulder(Vec3 centre, Vec3 radii, std::uint64_t seed) {
    std::vector<Vec3> points;
    std::vector<std::array<int, 3>> faces;
    unitSphere(2, points, faces);
    const GradientNoise lumps(seed);
    const int first = vertexCount();
    for (const Vec3& p : points) {
        const double push = 1.0 + 0.28 * lumps.fractal(p * 1.6, 4);
        Vec3 q{p.x * radii.x * push, p.y * radii.y * push, p.z * radii.z * push};
        q.y = std::max(q.y, -0.15 * radii.y); // the part in the ground is cut flat
        const Vec3 placed = centre + q;
        addVertex(placed, (placed.x + placed.z) * 0.5, placed.y * 0.5 + placed.z * 0.3);
    }
    for (const auto& f : faces) {
        addTriangle(first + f[0], first + f[1], first + f[2]);
    }
}

void MeshBuilder::transform(int first, int last, const std::function<Vec3(Vec3)>& move) {
    for (int i = first; i < last; ++i) {
        setPosition(i, move(position(i)));
    }
}

// Scene (x, y, z) is file (x, -z, y): the loader turns file (x, y, z) into (x, z, -y).
ThreeDsWriter::Mesh MeshBuilder::toMesh(const std::string& material) const {
    ThreeDsWriter::Mesh mesh;
    mesh.name = name;
    for (const Vec3& p : positions) {
        mesh.vertices.push_back(
            {static_cast<float>(p.x), static_cast<float>(-p.z), static_cast<float>(p.y)});
    }
    mesh.mapping = mapping;
    ThreeDsWriter::FaceGroup group{material, {}};
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
        mesh.faces.push_back({static_cast<std::uint16_t>(triangles[i]),
                              static_cast<std::uint16_t>(triangles[i + 1]),
                              static_cast<std::uint16_t>(triangles[i + 2])});
        group.faces.push_back(static_cast<std::uint16_t>(i / 3));
    }
    mesh.groups.push_back(std::move(group));
    return mesh;
}

} // namespace velmorra::tools
