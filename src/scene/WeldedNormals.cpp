#include "scene/WeldedNormals.h"

#include "math/BitCast.h"
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace velmorra {

namespace {

constexpr int noGroup = -1;

// Coordinates compared as floats compare: +0 and -0 are the same position.
struct PositionKey {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t z;

    friend bool operator==(const PositionKey&, const PositionKey&) = default;
};

std::uint32_t keyBits(float value) {
    return bitCast<std::uint32_t>(value == 0.0f ? 0.0f : value);
}

struct PositionHash {
    std::size_t operator()(const PositionKey& key) const {
        std::uint64_t h = key.x;
        h = h * 0x9e3779b97f4a7c15ull ^ key.y;
        h = h * 0x9e3779b97f4a7c15ull ^ key.z;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

bool hasNaN(const Vector3& v) {
    return std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z);
}

// A NaN coordinate equals nothing, not even itself, so such a vertex shares its position with
// no vertex and gets no group.
std::vector<int> groupByPosition(std::span<const Vector3> vertices, int& groupCount) {
    std::unordered_map<PositionKey, int, PositionHash> groups;
    groups.reserve(vertices.size());
    std::vector<int> group(vertices.size(), noGroup);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vector3& v = vertices[i];
        if (hasNaN(v)) {
            continue;
        }
        const PositionKey key{keyBits(v.x), keyBits(v.y), keyBits(v.z)};
        group[i] = groups.try_emplace(key, static_cast<int>(groups.size())).first->second;
    }
    groupCount = static_cast<int>(groups.size());
    return group;
}

bool inRange(const Face& face, std::size_t vertexCount) {
    return face[0] < vertexCount && face[1] < vertexCount && face[2] < vertexCount;
}

Vector3 faceNormal(std::span<const Vector3> vertices, const Face& face) {
    const Vector3& a = vertices[face[0]];
    return cross(difference(vertices[face[1]], a), difference(vertices[face[2]], a));
}

// For every vertex, the faces that use it, in face order; a face that names the same vertex
// twice is listed once. Compressed rows: the faces of vertex k are
// incident[start[k]] ... incident[start[k + 1] - 1].
struct Incidence {
    std::vector<int> start;
    std::vector<int> incident;
};

template <typename Visit> void forEachDistinctCorner(const Face& face, Visit&& visit) {
    visit(face[0]);
    if (face[1] != face[0]) {
        visit(face[1]);
    }
    if (face[2] != face[0] && face[2] != face[1]) {
        visit(face[2]);
    }
}

Incidence findIncidence(std::span<const Face> faces, std::size_t vertexCount) {
    Incidence result;
    result.start.assign(vertexCount + 1, 0);
    for (const Face& face : faces) {
        if (inRange(face, vertexCount)) {
            forEachDistinctCorner(face, [&](int k) { ++result.start[k + 1]; });
        }
    }
    for (std::size_t k = 0; k < vertexCount; ++k) {
        result.start[k + 1] += result.start[k];
    }
    result.incident.resize(static_cast<std::size_t>(result.start[vertexCount]));
    std::vector<int> next(result.start.begin(), result.start.end() - 1);
    for (std::size_t f = 0; f < faces.size(); ++f) {
        if (inRange(faces[f], vertexCount)) {
            forEachDistinctCorner(faces[f], [&](int k) {
                result.incident[static_cast<std::size_t>(next[k]++)] = static_cast<int>(f);
            });
        }
    }
    return result;
}

} // namespace

// The sum is first brought to a length near 1 by a power of two, which changes no bit of the
// direction: a tiny sum would otherwise get a length rounded to a few bits of a denormal, and a
// huge one an infinite length.
Vector3 unitOrZero(const Vector3& sum) {
    const double l = length(sum);
    if (!(l > 0.0) || !std::isfinite(l)) {
        return {};
    }
    const int exponent = std::ilogb(l);
    const auto rescale = [exponent](float value) {
        return static_cast<float>(std::ldexp(static_cast<double>(value), -exponent));
    };
    return normalized({rescale(sum.x), rescale(sum.y), rescale(sum.z)});
}

std::vector<Vector3> weldedNormals(std::span<const Vector3> vertices, std::span<const Face> faces) {
    const std::size_t vertexCount = vertices.size();
    std::vector<Vector3> faceNormals(faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        if (inRange(faces[f], vertexCount)) {
            faceNormals[f] = faceNormal(vertices, faces[f]);
        }
    }
    const Incidence incidence = findIncidence(faces, vertexCount);
    int groupCount = 0;
    const std::vector<int> group = groupByPosition(vertices, groupCount);

    // Visiting the vertices in index order and each one's faces in face order adds every
    // group's terms in the order of the definition.
    std::vector<Vector3> sums(static_cast<std::size_t>(groupCount));
    for (std::size_t k = 0; k < vertexCount; ++k) {
        if (group[k] == noGroup) {
            continue;
        }
        Vector3& sum = sums[static_cast<std::size_t>(group[k])];
        for (int i = incidence.start[k]; i < incidence.start[k + 1]; ++i) {
            sum.add(faceNormals[static_cast<std::size_t>(incidence.incident[i])]);
        }
    }

    std::vector<Vector3> normals(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        if (group[i] != noGroup) {
            normals[i] = unitOrZero(sums[static_cast<std::size_t>(group[i])]);
        }
    }
    return normals;
}

} // namespace velmorra
