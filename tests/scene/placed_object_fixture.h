// A graphic object for the frame tests: the meshes written as "<name>.aff" (with the textures the
// file names) into the working folder, shown by one node "body" under the root, the root placed at a
// point. Not registered in the world. And a graphic object registered in the world over a box.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/types.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace scene_test {

inline std::unique_ptr<GraphObj> PlacedMeshObject(const char* name, const std::vector<aff::Mesh>& meshes,
                                                  const std::vector<std::string>& textures, Vector3 at)
{
    aff::AffFile file;
    file.strings = {"pane"};
    file.textures = textures;
    file.frames = {aff::Frame{meshes}};
    const std::string path = std::string(name) + ".aff";
    EXPECT_TRUE(aff::WriteAff(path, file));
    auto object = std::make_unique<GraphObj>();
    object->name.Assign(name);
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, at.x, at.y, at.z);
    object->GetRootNode()->SetMatrix(place.m[0]);
    GraphNode* node =
        GraphObjAddMeshNode(object->GetRootNode(), "body", AnimCacheAcquire(path.c_str(), false), "", nullptr, nullptr);
    EXPECT_NE(node->GetAnimMesh(), nullptr) << path;
    return object;
}

// Registers the object in the world at the box's centre, its grid entry holding just the box.
inline void RegisterOverBox(GraphObj* object, const float* box)
{
    object->SetPosition({(box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f});
    EXPECT_TRUE(DynObjectAdd(object));
    ObjectGridUnlink(object->GetGridEntry());
    ObjectGridLink(object->GetGridEntry(), box);
}

}  // namespace scene_test
