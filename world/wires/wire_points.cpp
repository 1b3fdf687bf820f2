// Connection points from the "+n" and "-n" dummy boxes of a placed object's animated mesh.
#include <cstdio>
#include <cstdlib>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/random.h"
#include "map/terrain/terrain_height.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/wires/wire_state.h"

namespace {

// The node whose mesh carries the boxes: the first child of the root.
GraphNode* PointNode(GraphObj* object)
{
    GraphNode* root = object ? object->GetRootNode() : nullptr;
    GraphNode* node = root && root->GetChildCount() > 0 ? root->GetChild(0) : nullptr;
    return node && node->GetAnimMesh() ? node : nullptr;
}

// The wire number of a box named "+n" or "-n"; false for any other name. Numbers outside 0..15
// come back as they are.
bool ReadPointNumber(const char* name, u8_t* sign, long* number)
{
    if (name[0] != '+' && name[0] != '-')
        return false;
    char* end = nullptr;
    *number = std::strtol(name + 1, &end, 10);
    if (end == name + 1)
        return false;
    *sign = name[0] == '+' ? WIRE_POINT_PLUS : WIRE_POINT_MINUS;
    return true;
}

void StorePoint(ConObjPointSet* set, u8_t sign, s32_t n, const D3DXVECTOR3& point)
{
    Vector3& slot = sign == WIRE_POINT_PLUS ? set->plusPoints[n] : set->minusPoints[n];
    slot = {point.x, point.y, point.z};
    set->present[n] |= sign;
    set->wireRandom[n] = static_cast<float>(EngineRand()) / ENGINE_RAND_MAX - 0.5f;
}

// Steps 2 and 3 of the build: the points of every qualifying box into the set. Without a set to
// fill, one is created at the first qualifying box. Reports only when asked.
ConObjPointSet* ReadPoints(GraphObj* owner, ConObjPointSet* set, bool report)
{
    GraphNode* node = PointNode(owner);
    const AnimMesh* mesh = node->GetAnimMesh();
    D3DXMATRIX world;
    node->UpdateTransform(&world);
    for (u32_t b = 0; b < mesh->dummyBoxes_c; ++b) {
        const AnimDummyBox& box = mesh->dummyBoxes[b];
        u8_t sign = 0;
        long n = 0;
        if (!ReadPointNumber(box.name, &sign, &n))
            continue;
        if (n < 0 || n >= MAX_WIRE_POINTS) {
            if (report) {
                ConPrint(0, ERROR_COLOUR "'%s': max number of con. points is %d!\n", owner->name.Text(),
                         MAX_WIRE_POINTS);
                char text[64];
                std::snprintf(text, sizeof text, "ConObj: max number of connection points is %d\n", MAX_WIRE_POINTS);
                OutputDebugStringA(text);
            }
            continue;
        }
        if (!set) {
            set = new ConObjPointSet;
            set->swayPhase = static_cast<float>(EngineRand()) * 2.0f / ENGINE_RAND_MAX;
            set->owner = owner;
        }
        const D3DXVECTOR3 local(box.position.x, box.position.y, box.position.z);
        D3DXVECTOR3 point;
        D3DXVec3TransformCoord(&point, &local, &world);
        StorePoint(set, sign, static_cast<s32_t>(n), point);
    }
    return set;
}

}  // namespace

ConObjPointSet* WireBuildPointSet(DynamicObject* object)
{
    if (!object)
        return nullptr;
    GraphObj* graphic = dynamic_cast<GraphObj*>(object);
    if (graphic && !graphic->placedOnce && !graphic->fly) {
        Vector3 position = graphic->GetPosition();
        position.y = MapTerrainHeight(position.x, position.z, nullptr, nullptr);
        graphic->SetPosition(position);
        graphic->placedOnce = 1;
    }
    if (!PointNode(graphic)) {
        ConPrint(0, ERROR_COLOUR "Connection object '%s' has no animation!\n", object->name.Text());
        return nullptr;
    }
    return ReadPoints(graphic, nullptr, true);
}

void WireRefreshPointSet(ConObjPointSet* set)
{
    if (PointNode(set->owner))
        ReadPoints(set->owner, set, false);
}
