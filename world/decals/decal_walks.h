// The walks every decal builder makes: over the mesh nodes of the objects around an event, over a
// node's mesh faces, and over the static map faces around it. A builder only says how its shape is
// cut onto the faces; the walks make one decal per node that took triangles and one world decal for
// the map geometry.
#pragma once
#include <vector>

#include "world/animation/anim_mesh.h"
#include "world/decals/decal_work.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace decal_work {

// Calls visit(face corners[3], frame mesh, material) for every frame-0 face of the node's meshes
// that take decals in the box (node space), while the work buffer holds fewer than limit triangles.
template <class Visit>
void ForEachDecalFace(GraphNode& node, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, const DecalTriangles& work,
                      u32_t limit, Visit&& visit)
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

// For every mesh node, with a world matrix, of the objects that take decals in the world box (see
// CollectDecalObjects): build(node, inverse world matrix, work) cuts the shape onto the node's faces
// into the emptied work buffer (node space, per-triangle meshes and materials kept); a node that
// took triangles gets its decal of the event.
template <class Build>
void DecalObjectNodes(const float* worldBox, bool skipActors, const DynamicObject* skip, u32_t bufferTriangles,
                      const DecalEvent& event, Build&& build)
{
    std::vector<GraphObj*> objects;
    CollectDecalObjects(worldBox, skipActors, skip, objects);
    std::vector<GraphNode*> nodes;
    DecalTriangles work(bufferTriangles, true);
    for (GraphObj* object : objects) {
        CollectMeshNodes(object->GetRootNode(), nodes);
        for (GraphNode* node : nodes) {
            D3DXMATRIX world, inverse;
            if (!NodeSpace(*node, &world, &inverse))
                continue;
            work.Reset();
            build(*node, static_cast<const D3DXMATRIX&>(inverse), work);
            if (work.count)
                AddNodeDecal(work, event, *node);
        }
    }
}

// For every face (world space) of the octree leaves under the world box while fewer than limit
// triangles are gathered: build(face corners[3], work) cuts the shape onto it. What the map
// geometry took becomes one world decal of the event.
template <class Build>
void DecalMapFaces(const float* worldBox, u32_t bufferTriangles, u32_t limit, const DecalEvent& event, Build&& build)
{
    DecalTriangles work(bufferTriangles, false);
    for (const CollectedLeaf& leaf : CollectOctreeLeaves(worldBox)) {
        const u32_t faces = LeafFaceCount(leaf);
        for (u32_t f = 0; f < faces && work.count < limit; ++f) {
            D3DXVECTOR3 face[3];
            if (LeafFace(leaf, f, face))
                build(static_cast<const D3DXVECTOR3*>(face), work);
        }
    }
    if (work.count)
        AddWorldDecal(work, event);
}

}  // namespace decal_work
