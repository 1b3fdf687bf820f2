// Welding and face neighbours of freshly loaded animated meshes: a grid of quads whose four
// corners are stored per quad (as texture seams store them), so every shared corner must weld.
// The cost should grow close to linearly with the vertex count.
#include <benchmark/benchmark.h>

#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"

namespace {

// One frame, one mesh: side x side quads, 4 vertices and 2 faces each.
void FillGrid(AnimMesh& mesh, u32_t side)
{
    mesh.Clear();
    mesh.frames = new AnimFrame[1];
    mesh.frames_c = 1;
    mesh.frames[0].meshes = new AnimFrameMesh[1];
    mesh.frames[0].meshes_c = 1;
    AnimFrameMesh& frameMesh = mesh.frames[0].meshes[0];
    const u32_t quads = side * side;
    frameMesh.vertices = new AnimVertexData;
    frameMesh.vertices->count = quads * 4;
    frameMesh.vertices->positions = new float[quads * 12];
    frameMesh.vertices->normals = new s8_t[quads * 12]();
    frameMesh.faces = new AnimFaces;
    frameMesh.faces->count = quads * 2;
    frameMesh.faces->indices = new u16_t[quads * 6];
    for (u32_t q = 0; q < quads; ++q) {
        const float x = static_cast<float>(q % side), z = static_cast<float>(q / side);
        const float corners[4][2] = {{x, z}, {x + 1, z}, {x + 1, z + 1}, {x, z + 1}};
        for (int c = 0; c < 4; ++c) {
            float* p = frameMesh.vertices->positions + (q * 4 + c) * 3;
            p[0] = corners[c][0];
            p[1] = 0.0f;
            p[2] = corners[c][1];
        }
        const u16_t base = static_cast<u16_t>(q * 4);
        const u16_t faces[6] = {base, static_cast<u16_t>(base + 1), static_cast<u16_t>(base + 2),
                                base, static_cast<u16_t>(base + 2), static_cast<u16_t>(base + 3)};
        for (int i = 0; i < 6; ++i)
            frameMesh.faces->indices[q * 6 + i] = faces[i];
    }
    frameMesh.vertexCount = quads * 4;
    frameMesh.faceCount = quads * 2;
}

void BM_BuildAdjacency(benchmark::State& state)
{
    AnimMesh mesh;
    FillGrid(mesh, static_cast<u32_t>(state.range(0)));
    for (auto _ : state) {
        AnimMeshBuildAdjacency(&mesh);
        benchmark::DoNotOptimize(mesh.frames[0].meshes[0].faces->neighbours);
    }
    state.SetItemsProcessed(state.iterations() * mesh.frames[0].meshes[0].vertices->count);
    state.SetComplexityN(mesh.frames[0].meshes[0].vertices->count);
}

}  // namespace

// Up to 127 x 127 quads: 64516 vertices, the most 16-bit indices address.
BENCHMARK(BM_BuildAdjacency)->RangeMultiplier(2)->Range(8, 127)->Complexity(benchmark::oNLogN);
