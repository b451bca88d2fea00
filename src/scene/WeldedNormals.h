#pragma once

#include "math/Vector3.h"
#include "scene/MeshArrays.h"

#include <span>
#include <vector>

namespace velmorra {

// One unit normal per vertex, smoothed across every face that touches the vertex's position:
// the sum of the unnormalised normals (b - a) x (c - a) of every face that uses, as any corner,
// a vertex at exactly the same coordinates (the vertex itself included), normalised. Corners
// that a file stores as separate records are welded this way, and larger faces weigh more.
// Faces with a corner index outside the vertex array count for nothing. A vertex whose sum has
// no direction (no faces, only degenerate ones, or faces that cancel) gets a zero normal.
//
// The sums are added in the order of the plain definition (the vertices of a position in index
// order, each one's faces in face order), so the result is the same to the bit, but vertices
// are grouped by position with a hash map: the cost is linear in the mesh.
std::vector<Vector3> weldedNormals(std::span<const Vector3> vertices, std::span<const Face> faces);

// The sum normalised, or zero when it has no length (or no finite one).
Vector3 unitOrZero(const Vector3& sum);

} // namespace velmorra
