// The vehicle's per-frame update: the first placement from the model layout, the driving step, the
// occupants, the engine sounds and the shadows; the collisions with world objects and wires; the
// ray and sphere tests.
#include "actors/vehicles/vehicle.h"

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/sound/sound_system.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "scene/plugin_bridges/particle_host.h"
#include "world/nodes/child_node_queries.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"
#include "world/wires/wires.h"

namespace {

constexpr float kRunOverDamage = 1000.0f;
constexpr u32_t kIdleDelayMs = 1001;

// The leaves the collision's box query reached, and the objects already handled in one collision
// step (an object linked into several leaves is met once). Kept between calls: the step allocates
// only when a query reaches more than ever before.
std::vector<OctreeNode*> g_candidateLeaves;
std::vector<DynamicObject*> g_handledObjects;

int VehicleCollectObject(OctreeNode* leaf, s32_t /*tileX*/, s32_t /*tileZ*/)
{
    g_candidateLeaves.push_back(leaf);
    return 0;
}

}  // namespace

bool VehicleNodeHasChildren(const GraphNode* node, s32_t count)
{
    return node && node->GetChildCount() >= count;
}

D3DXVECTOR3 VehicleReferencePoint(const GraphNode* node)
{
    float box[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    node->GetFrameBounds(box);
    // A node without geometry has no box: its own origin stands for it.
    if (box[0] > box[3])
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return D3DXVECTOR3((box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f);
}

D3DXVECTOR3 VehicleWheelCentre(GraphNode* node)
{
    const D3DXVECTOR3 local = VehicleReferencePoint(node);
    D3DXMATRIX world;
    node->UpdateTransform(&world);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &local, &world);
    return out;
}

Vector3 Vehicle::StandOnGroundAtStart()
{
    Vector3 at = GetPosition();
    const Vector3 rotation = GetRotation();
    firstUpdatePending = 0;
    boundsValid = 0;
    if (!fly)
        at.y = VehicleTerrainHeight(at.x, at.z);
    SetPosition(at);
    SetRotation(rotation);
    DynObjectUpdateGrid(this);
    return at;
}

bool VehicleHasWheels(const GraphNode* front, const GraphNode* rear)
{
    return VehicleNodeHasChildren(front, 2) && VehicleNodeHasChildren(front->GetChild(0), 1) &&
           VehicleNodeHasChildren(front->GetChild(1), 1) && VehicleNodeHasChildren(rear, 2);
}

void Vehicle::TakeWheelLayout(GraphNode* body, GraphNode* front, GraphNode* rear)
{
    bodyNode = body;
    frontAxleNode = front;
    rearAxleNode = rear;
    points[0] = VehicleWheelCentre(front->GetChild(0)->GetChild(0));
    points[1] = VehicleWheelCentre(front->GetChild(1)->GetChild(0));
    points[2] = VehicleWheelCentre(rear->GetChild(0));
    points[3] = VehicleWheelCentre(rear->GetChild(1));
    const D3DXVECTOR3 across = points[3] - points[2];
    const D3DXVECTOR3 along = points[2] - points[0];
    track = D3DXVec3Length(&across);
    wheelbase = D3DXVec3Length(&along);
}

bool Vehicle::PlaceFirst()
{
    Vector3 p = GetPosition();
    if (!fly)
        p.y = VehicleTerrainHeight(p.x, p.z);
    firstUpdatePending = 0;
    boundsValid = 0;
    DynObjectUpdateGrid(this);

    GraphNode* top = GetRootNode();
    GraphNode* frame = VehicleNodeHasChildren(top, 1) ? top->GetChild(0) : nullptr;
    if (!VehicleNodeHasChildren(frame, 3)) {
        Log("WARNING: vehicle %s has no body and axles in its model\n", name.Text());
        return false;
    }
    GraphNode* front = frame->GetChild(1);
    GraphNode* rear = frame->GetChild(2);
    if (!VehicleHasWheels(front, rear)) {
        Log("WARNING: vehicle %s has no four wheels in its model\n", name.Text());
        return false;
    }
    TakeWheelLayout(frame->GetChild(0), front, rear);
    steeringWheelNode = VehicleNodeHasChildren(bodyNode, 2) ? bodyNode->GetChild(1) : nullptr;
    groundPosition = {p.x, p.y, p.z};
    // Values the definition left out (or wheels on one spot) would divide by zero in the driving
    // model, which then keeps the vehicle still instead.
    if (mass <= 0.0f || maxSpeed <= 0.0f || wheelbase <= 0.0f || track <= 0.0f || maxSteerAngle <= 0.0f ||
        steerSpeed <= 0.0f)
        Log("WARNING: vehicle %s lacks mass, maxspeed, maxangle, steerspeed or wheel spacing: it will not "
            "drive\n",
            name.Text());

    SettleOnTerrain();
    ComputeAxes();
    BuildOrientation();
    SetPosition({groundPosition.x, groundPosition.y, groundPosition.z});
    D3DXMATRIX inverse, place;
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y, groundPosition.z);
    const D3DXMATRIX m = inverse * place;
    top->SetMatrix(&m.m[0][0]);
    direction = -lengthAxis;
    savedNormalAxis = normalAxis;
    savedPosition = groundPosition;
    // The trail is a particle set of the plug-in, attached to the vehicle for as long as it runs.
    if (!trailParticle.IsEmpty())
        ParticleObjectEffect(trailParticle.Text(), this);
    return true;
}

void Vehicle::Update()
{
    if (firstUpdatePending)
        PlaceFirst();
    // A model that cannot be placed stays where it stands.
    if (!bodyNode)
        return;
    DriveStep();
    DynObjectUpdateGrid(this);
    UpdateOccupants();
    UpdateSounds();
    driveState = VEHICLE_DRIVE_IDLE;
    const Vector3& angles = bodyNode->GetRotation();
    if (speed != 0.0f || angles.x != 0.0f || angles.y != 0.0f || angles.z != 0.0f || lodChanged) {
        InvalidateShadows();
        lodChanged = 0;
    }
}

void Vehicle::InvalidateShadows()
{
    ShadowCompanionsInvalidate(this);
}

void Vehicle::Shift(const D3DXVECTOR3& offset)
{
    centre += offset;
    groundPosition += offset;
    for (D3DXVECTOR3& point : points)
        point += offset;
}

void Vehicle::PushOutOfObjects(float radius)
{
    float box[6];
    GetGeometryBounds(box);
    g_candidateLeaves.clear();
    g_handledObjects.clear();
    OctreeQueryBox(box, VehicleCollectObject);
    for (OctreeNode* leaf : g_candidateLeaves) {
        u32_t iterator = GRID_LINK_NONE;
        for (ObjectGridEntry* entry = ObjectGridFirst(leaf, &iterator); entry; entry = ObjectGridNext(&iterator)) {
            if (entry->kind != OBJECT_GRID_OBJECT || !entry->owner)
                continue;
            DynamicObject* object = static_cast<DynamicObject*>(entry->owner);
            const s32_t type = object->GetTypeId();
            if (type == OBJECT_TYPE_ROOT || type == OBJECT_TYPE_GRAPHIC || !object->IsCollidable() ||
                object == static_cast<DynamicObject*>(g_frameView.player) || object == this)
                continue;
            bool handled = false;
            for (DynamicObject* seen : g_handledObjects)
                handled = handled || seen == object;
            if (handled)
                continue;
            g_handledObjects.push_back(object);
            const float other[6] = {entry->boxMin.x, entry->boxMin.y, entry->boxMin.z,
                                    entry->boxMax.x, entry->boxMax.y, entry->boxMax.z};
            if (!BoxesOverlap(box, other))
                continue;
            if (type == OBJECT_TYPE_ACTOR) {
                // The vehicle's own passengers ride inside its box: they are not run over.
                const Actor* actor = static_cast<const Actor*>(object);
                if (actor->inVehicle && actor->vehicle == this)
                    continue;
                object->ApplyDamage(1, 0.0f, kRunOverDamage);
                continue;
            }
            Vector3 out;
            const Vector3 at = {centre.x, centre.y, centre.z};
            if (object->SphereCollision(at, radius, &out)) {
                Shift(D3DXVECTOR3(out.x, out.y, out.z) - centre);
                if (maxSpeed * 0.5f < speed)
                    speed *= 0.75f;
            }
        }
    }
    g_candidateLeaves.clear();
    g_handledObjects.clear();
}

void Vehicle::CollideWithObjects()
{
    if (speed < 0.01f)
        return;
    const float radius = (wheelbase + 15.0f) * 0.5f;
    PushOutOfObjects(radius);
    Vector3 pushed = {centre.x, centre.y, centre.z};
    ConObjCollideObject(this, &pushed, radius);
    Shift(D3DXVECTOR3(pushed.x, pushed.y, pushed.z) - centre);
}

void Vehicle::UpdateSounds()
{
    if (occupantCount == 0 || !sound || !sound->soundTable)
        return;
    SoundSetTable* table = sound->soundTable;
    const auto stop = [table](s32_t property) {
        if (SoundInstance* instance = table->Pick(property, false, 1))
            instance->Stop();
    };
    const Vector3 at = {groundPosition.x, groundPosition.y, groundPosition.z};
    const auto play = [&](s32_t property) {
        SoundInstance* instance = table->Pick(property, false, 1);
        if (instance && SoundLodForPoint(at) == 0 && SoundTravelDelay(at) == 0)
            instance->PlayOnPath(SoundDefaultPath(), true);
    };
    if (speed > 1.0f) {
        if (speed == maxSpeed) {
            stop(SOUND_IDLE);
            stop(SOUND_ACCELERATE);
            stop(SOUND_DECELERATE);
            play(SOUND_TURN);
        } else if (driveState & (VEHICLE_DRIVE_FORWARD | VEHICLE_DRIVE_BACKWARD)) {
            stop(SOUND_IDLE);
            stop(SOUND_TURN);
            stop(SOUND_DECELERATE);
            play(SOUND_ACCELERATE);
        } else {
            stop(SOUND_IDLE);
            stop(SOUND_TURN);
            stop(SOUND_ACCELERATE);
            play(SOUND_DECELERATE);
        }
        return;
    }
    stop(SOUND_TURN);
    stop(SOUND_ACCELERATE);
    stop(SOUND_DECELERATE);
    if (GetTickCount() - soundStartTime < kIdleDelayMs)
        return;
    play(SOUND_IDLE);
}

float Vehicle::TraceRay(const Vector3& origin, const Vector3& rayDirection, ObjectTraceBlock* hit)
{
    return ChildNodesTraceRay(*this, origin, rayDirection, hit);
}

bool Vehicle::SphereCollision(const Vector3& sphereCentre, float radius, Vector3* out)
{
    return ChildNodesSphereCollision(*this, sphereCentre, radius, out);
}

void Vehicle::GetGeometryBounds(float* box)
{
    GraphObj::GetGeometryBounds(box);
}
