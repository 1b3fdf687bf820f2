// The actor's construction and destruction, its links to its AI, its inventory lists and the pose
// section names. The actor's operations that move, animate, hurt and kill it are in the other
// actors/actor_*.cpp files.
#include "actors/actor.h"

#include "core/strings/text_case.h"

#include <cmath>

#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "core/random.h"
#include "core/frame_view.h"
#include "map/registry/actor_lists.h"
#include "world/nodes/graph_node.h"

namespace {

// The root's third angle in degrees times this gives the start direction of the step point.
constexpr float kStepAngleScale = 0.017444444f;
constexpr float kStepPointOffset = 10.0f;
constexpr float kViewDistance = 1e8f;
constexpr float kRandScale = 3.0518509e-5f;
constexpr float kGroundCheckSpread = 1000.0f;
constexpr u32_t kGroundCheckLast = 999;

}  // namespace

Actor* PlayerActor()
{
    // Whatever else is the player (an object taken by a command that did not check) is no soldier.
    DynamicObject* player = g_frameView.player;
    return player && player->GetTypeId() == OBJECT_TYPE_ACTOR ? static_cast<Actor*>(player) : nullptr;
}

const char* const ActorPoseSectionNames[6] = {"Stay", "Crouch", "Prone", "Interphases", "Phases", nullptr};

s32_t ActorPoseSectionIndex(const char* name)
{
    if (!name)
        return -1;
    for (s32_t i = 0; ActorPoseSectionNames[i]; ++i) {
        if (CompareNoCase(ActorPoseSectionNames[i], name) == 0)
            return i;
    }
    return -1;
}

Actor::Actor() : follower(new PathFollower())
{
    typeId = OBJECT_TYPE_ACTOR;
    SetPosition({0.0f, 0.0f, 0.0f});
    SetRotation({0.0f, 0.0f, 0.0f});
    const float r = GetRotation().z * kStepAngleScale;
    stepPoint = {kStepPointOffset + std::sin(r), 0.0f, kStepPointOffset + std::cos(r)};
    ai = nullptr;
    viewDistance = kViewDistance;
    viewDistanceSq = kViewDistance;
    // In single precision the last draw (32767) scales to 1000 itself: the spread stops at 999.
    const u32_t tick = static_cast<u32_t>(static_cast<float>(EngineRand()) * kRandScale * kGroundCheckSpread);
    groundCheckTick = tick > kGroundCheckLast ? kGroundCheckLast : tick;
}

Actor::~Actor()
{
    for (int slot = 0; slot < kActorWeaponSlots; ++slot) {
        if (!weaponOwned[slot])
            continue;
        delete weapons[slot];
        weapons[slot] = nullptr;
    }
    delete follower;
    follower = nullptr;
    // A seat the actor occupies is left free.
    if (seat && seat->occupant == this) {
        seat->occupant = nullptr;
        if (vehicle && vehicle->occupantCount > 0)
            --vehicle->occupantCount;
    }
    if (ai) {
        if (ai->body == this)
            ai->body = nullptr;
        if (ai->entity && ai->entity->actor == this)
            ai->entity->actor = nullptr;
        ai = nullptr;
    }
    ActorSideListsForget(this);
}

AIEntity* Actor::GetAIEntity() const
{
    return ai ? ai->entity : nullptr;
}

void Actor::ActorAddCarriedItem(DOEnvelope* item)
{
    for (DOEnvelope*& entry : carriedItems) {
        if (!entry) {
            entry = item;
            return;
        }
    }
}

void Actor::ReleaseInventory()
{
    for (DOEnvelope*& entry : carriedItems) {
        if (!entry)
            continue;
        if (DynamicObject* object = entry->object) {
            object->SetDrawn(true);
            object->SetCastsShadow(true);
            entry->Enable(nullptr);
        }
        entry = nullptr;
    }
}

const BleedingInfo* Actor::GetBleedingInfo() const
{
    if (decalTextureCount <= 0)
        return nullptr;
    m_bleeding.bloodTextures = const_cast<IDirect3DTexture8**>(decalTextures);
    m_bleeding.bloodTextureCount = static_cast<u32_t>(decalTextureCount);
    // The decal sizes are the smallest and largest blood size and a size factor.
    m_bleeding.minBloodSize = decalSize[0];
    m_bleeding.maxBloodSize = decalSize[1];
    m_bleeding.bloodSizeScale = decalSize[2];
    return &m_bleeding;
}

void Actor::DetachAI()
{
    AIInterface* interface = ai;
    if (!interface)
        return;
    AIRemoveInterface(interface);
    delete interface;
    ai = nullptr;
}

float Actor::SetBodyAngle(float angle)
{
    bodyAngle = angle;
    return angle;
}

void Actor::MoveTo(const Vector3& point)
{
    follower->PlanTo(GetPosition(), point);
}

void Actor::MoveToEnvelope(const Vector3& point, DOEnvelope* target)
{
    follower->MoveToEnvelope(GetPosition(), point, target);
}

// ---- collision ----
// The sphere test runs on the actor's graphic nodes, as for any graphic object (hits and damage are
// in actors/actor_hits.cpp).

bool Actor::SphereCollision(const Vector3& centre, float radius, Vector3* out)
{
    Vector3 c = centre;
    bool touched = false;
    GraphNode* top = GetRootNode();
    const s32_t count = top ? top->GetChildCount() : 0;
    for (s32_t i = 0; i < count; ++i) {
        if (top->GetChild(i)->SphereCollision(&c, radius, lodLevel, nullptr))
            touched = true;
    }
    if (out)
        *out = c;
    return touched;
}
