// Building a mesh's welded normals. A 3DS exporter splits vertices wherever the mapping or the
// smoothing changes, so one position is often stored in several records: here every quad of a
// curved sheet has its own four records, and neighbouring quads share positions. The hash-map
// grouping is linear in the mesh; the plain definition, which compares every vertex with every
// other one, is measured alongside on smaller meshes as the quadratic baseline.

#include "scene/MeshElement.h"
#include "scene/WeldedNormals.h"
#include "scene/WeldedNormalsReference.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace velmorra {
namespace {

struct Sheet {
    std::vector<Vector3> vertices;
    std::vector<Face> faces;
};

// columns x rows quads on a bumped surface, four vertex records and two faces per quad.
Sheet splitSheet(int columns, int rows) {
    Sheet sheet;
    const auto point = [](int x, int y) {
        const float fx = static_cast<float>(x) * 0.1f;
        const float fy = static_cast<float>(y) * 0.1f;
        return Vector3{fx, fy, std::sin(fx) * std::cos(fy)};
    };
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const auto first = static_cast<std::uint16_t>(sheet.vertices.size());
            sheet.vertices.push_back(point(x, y));
            sheet.vertices.push_back(point(x + 1, y));
            sheet.vertices.push_back(point(x, y + 1));
            sheet.vertices.push_back(point(x + 1, y + 1));
            sheet.faces.push_back({first, static_cast<std::uint16_t>(first + 1),
                                   static_cast<std::uint16_t>(first + 2)});
            sheet.faces.push_back({static_cast<std::uint16_t>(first + 2),
                                   static_cast<std::uint16_t>(first + 1),
                                   static_cast<std::uint16_t>(first + 3)});
        }
    }
    return sheet;
}

// 60 000 vertices: 150 x 100 quads.
const Sheet& largeSheet() {
    static const Sheet sheet = splitSheet(150, 100);
    return sheet;
}

void BM_WeldedNormals60000(benchmark::State& state) {
    const Sheet& sheet = largeSheet();
    for (auto _ : state) {
        benchmark::DoNotOptimize(weldedNormals(sheet.vertices, sheet.faces));
    }
    state.counters["vertices"] = static_cast<double>(sheet.vertices.size());
}
BENCHMARK(BM_WeldedNormals60000)->Unit(benchmark::kMillisecond);

// The whole build: axis conversion, bounds, normals and the display list (compiled for
// nothing here, without a GL context, so this is the CPU side alone).
void BM_MeshBuild60000(benchmark::State& state) {
    const Sheet& sheet = largeSheet();
    for (auto _ : state) {
        MeshElement mesh;
        mesh.build(sheet.vertices, {}, sheet.faces);
        benchmark::DoNotOptimize(mesh.getNormals().data());
    }
}
BENCHMARK(BM_MeshBuild60000)->Unit(benchmark::kMillisecond);

// 1 000, 2 000 and 4 000 vertices, to show how each grows with the mesh.
void BM_WeldedNormalsBySize(benchmark::State& state) {
    const Sheet sheet = splitSheet(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        benchmark::DoNotOptimize(weldedNormals(sheet.vertices, sheet.faces));
    }
    state.SetComplexityN(static_cast<std::int64_t>(sheet.vertices.size()));
}
BENCHMARK(BM_WeldedNormalsBySize)->Arg(25)->Arg(50)->Arg(100)->Complexity();

void BM_QuadraticNormalsBySize(benchmark::State& state) {
    const Sheet sheet = splitSheet(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        benchmark::DoNotOptimize(weldedNormalsByDefinition(sheet.vertices, sheet.faces));
    }
    state.SetComplexityN(static_cast<std::int64_t>(sheet.vertices.size()));
}
BENCHMARK(BM_QuadraticNormalsBySize)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmorra
