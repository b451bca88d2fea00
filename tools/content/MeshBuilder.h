#pragma once

#include "ThreeDsWriter.h"
#include "Vec3.h"

#include <functional>
#include <string>
#include <vector>

namespace velmorra::tools {

// Builds a triangle mesh in the demo's scene axes (y up, counter-clockwise
// front faces) and hands it to the 3DS writer in the file's axes (z up).
//
// The demo smooths normals over every face that touches a position, so sharp
// edges would come out rounded across their whole faces; shapes are built
// with small bevels instead, which keep the rounding to the edge.
class MeshBuilder {
  public:
    struct ProfilePoint {
        double radius = 0.0;
        double height = 0.0;
        double relief = 0.0; // carved lobes: the outline's wave, scaled by this
    };
    struct Outline {
        std::vector<double> x; // closed loop, counter-clockwise seen from above
        std::vector<double> z;
        std::vector<double> wave; // -1 to 1 per point, for ProfilePoint::relief

        static Outline circle(int segments, int lobes = 0);
        // A square of half-size 1 with corners rounded to `cornerRadius`.
        static Outline roundedSquare(double cornerRadius, int pointsPerSide, int pointsPerCorner);
    };
    struct Range {
        int first = 0;
        int last = 0; // one past the end
    };

    explicit MeshBuilder(std::string name);

    int vertexCount() const { return static_cast<int>(positions.size()); }
    int triangleCount() const { return static_cast<int>(triangles.size() / 3); }

    int addVertex(Vec3 position, double u, double v);
    // Skips triangles whose corners do not span an area (closed apexes of a sweep).
    void addTriangle(int a, int b, int c);

    // Sweeps the outline, scaled by each profile point's radius, through the
    // profile's heights. The profile runs so that the surface lies on its left:
    // outwards along a bottom, up an outside wall, inwards along a top. Texture
    // u runs round the outline (uRepeat times), v along the profile (vPerUnit
    // per unit of length). Returns the vertex range of the last ring.
    Range addSweep(const Outline& outline, const std::vector<ProfilePoint>& profile, Vec3 centre,
                   double uRepeat, double vPerUnit);
    // Closes a ring (as returned by addSweep) with a fan round its middle,
    // mapped flat from above (uvPerUnit texture repeats per unit), facing up.
    void addFlatCap(Range ring, double uvPerUnit);
    // A rough boulder: a subdivided icosahedron pushed in and out by noise,
    // flattened where it rests on the ground at `centre.y`.
    void addBoulder(Vec3 centre, Vec3 radii, std::uint64_t seed);

    void transform(int first, int last, const std::function<Vec3(Vec3)>& move);
    Vec3 position(int index) const { return positions[static_cast<std::size_t>(index)]; }
    void setPosition(int index, Vec3 value) { positions[static_cast<std::size_t>(index)] = value; }

    // In the file's axes, with one face material list naming `material`.
    ThreeDsWriter::Mesh toMesh(const std::string& material) const;

  private:
    std::string name;
    std::vector<Vec3> positions;
    std::vector<ThreeDsWriter::Mapping> mapping;
    std::vector<int> triangles;
};

} // namespace velmorra::tools
