// The walk every decal builder makes over a node's mesh faces.
#pragma once
#include "world/anim_mesh.h"
#include "world/decal_work.h"
#include "world/graph_node.h"

namespace decal_work {

// Calls visit(face corners[3], frame mesh, material) for every frame-0 face of the node's meshes
// that take decals in the box (node space), while the work buffer holds fewer than limit triangles.
template <class Visit>
void ForEachDecalFace(GraphNode& node, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax,
                      const DecalTriangles& work, u32_t limit, Visit&& visit)
{
    const AnimMesh& mesh = *node.GetAnimMesh();
    for (u32_t m = 0; m < mesh.frames[0].meshes_c && work.count < limit; ++m) {
        if (!MeshTakesDecals(node, mesh, m, boxMin, boxMax))
            continue;
        AnimFrameMesh* frameMesh = &mesh.frames[0].meshes[m];
        const AnimVertexData* vertices = mesh.GetMeshVertices(0, m);
        const AnimFaces* faces = mesh.GetMeshFaces(0, m);
        AnimMaterial* material = mesh.GetMeshTextureRef(0, m);
        for (u32_t f = 0; f < frameMesh->faceCount && work.count < limit; ++f) {
            D3DXVECTOR3 face[3];
            for (int c = 0; c < 3; ++c) {
                const float* p = vertices->positions + static_cast<size_t>(faces->indices[f * 3 + c]) * 3;
                face[c] = D3DXVECTOR3(p[0], p[1], p[2]);
            }
            visit(face, frameMesh, material);
        }
    }
}

}  // namespace decal_work
