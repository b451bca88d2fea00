#pragma once

#include "scene/WeldedNormals.h"

namespace velmorra {

// The welded normals straight from their definition, one vertex at a time: for vertex i, every
// vertex k at exactly its coordinates, and for each such k every face that uses k as any corner,
// in face order. Its cost grows with the square of the mesh; the tests, the benchmark and the
// fuzz target check and measure weldedNormals against it.
inline std::vector<Vector3> weldedNormalsByDefinition(std::span<const Vector3> vertices,
                                                      std::span<const Face> faces) {
    const std::size_t n = vertices.size();
    std::vector<Vector3> normals(n);
    for (std::size_t i = 0; i < n; ++i) {
        Vector3 sum;
        for (std::size_t k = 0; k < n; ++k) {
            const Vector3& a = vertices[i];
            const Vector3& b = vertices[k];
            if (!(a.x == b.x && a.y == b.y && a.z == b.z)) {
                continue;
            }
            for (const Face& face : faces) {
                if (face[0] >= n || face[1] >= n || face[2] >= n) {
                    continue;
                }
                if (face[0] == k || face[1] == k || face[2] == k) {
                    const Vector3& corner = vertices[face[0]];
                    sum.add(cross(difference(vertices[face[1]], corner),
                                  difference(vertices[face[2]], corner)));
                }
            }
        }
        normals[i] = unitOrZero(sum);
    }
    return normals;
}

} // namespace velmorra
