// The projectile object, its saved record and the retire table.
#include "actors/weapons/projectile.h"

#include <cstring>

#include "actors/actor_state.h"
#include "actors/weapons/weapon.h"
#include "core/files/byte_io.h"
#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"
#include "world/objects/saved_object_state.h"

namespace {

// A box this far round the root stands for a flying projectile.
constexpr float kFlyingHalfSize = 0.1f;

// The retire table starts at 1024 slots and doubles when a step retires more, so that no
// retirement is ever lost.
bool GrowRetireTable()
{
    const u32_t capacity = g_actors.retiredCapacity ? g_actors.retiredCapacity * 2 : PROJECTILE_TABLE_SLOTS;
    if (capacity <= g_actors.retiredCapacity)
        return false;
    Projectile** slots = new Projectile*[capacity]();
    for (u32_t i = 0; i < g_actors.retiredCount; ++i)
        slots[i] = g_actors.retiredProjectiles[i];
    delete[] g_actors.retiredProjectiles;
    g_actors.retiredProjectiles = slots;
    g_actors.retiredCapacity = capacity;
    return true;
}

bool SameName(const EngineString& name, const char* text)
{
    return CompareNoCase(name.Text(), text ? text : "") == 0;
}

}  // namespace

float NoRayHit(const Vector3&, const Vector3&, ObjectTraceBlock*)
{
    return OBJTRACE_NO_HIT;
}

const char* DefaultObjectFolder()
{
    return "object\\";
}

Projectile::Projectile()
{
    typeId = OBJECT_TYPE_PROJECTILE;
    SetPosition({});
    SetRotation({});
    lastUpdateTick = GetTickCount();
}

Projectile::~Projectile()
{
    delete flySounds;
    delete hitSounds;
    delete explosionSounds;
    flySounds = hitSounds = explosionSounds = nullptr;
    UnlinkFromTemplate();
    weapon = nullptr;
}

void Projectile::Render()
{
    if (flightClock > drawDelay && visible)
        GraphObj::Render();
}

float Projectile::TraceRay(const Vector3& origin, const Vector3& along, ObjectTraceBlock* hit)
{
    return NoRayHit(origin, along, hit);
}

const char* Projectile::GetObjectFolder() const
{
    return DefaultObjectFolder();
}

void Projectile::GetGeometryBounds(float* box)
{
    if (IsTimedExplosive()) {
        GraphObj::GetGeometryBounds(box);
        return;
    }
    const Vector3 p = root->GetPosition();
    box[0] = p.x - kFlyingHalfSize;
    box[1] = p.y - kFlyingHalfSize;
    box[2] = p.z - kFlyingHalfSize;
    box[3] = p.x + kFlyingHalfSize;
    box[4] = p.y + kFlyingHalfSize;
    box[5] = p.z + kFlyingHalfSize;
}

void Projectile::LinkToTemplate(Projectile* head)
{
    UnlinkFromTemplate();
    if (!head || head == this)
        return;
    source = head;
    previousCopy = head;
    nextCopy = head->nextCopy;
    if (nextCopy)
        nextCopy->previousCopy = this;
    head->nextCopy = this;
}

void Projectile::UnlinkFromTemplate()
{
    if (previousCopy)
        previousCopy->nextCopy = nextCopy;
    if (nextCopy)
        nextCopy->previousCopy = previousCopy;
    previousCopy = nextCopy = nullptr;
    source = nullptr;
}

bool Projectile::WriteState(u8_t* area, u32_t size) const
{
    if (!area || size < PROJECTILE_STATE_SIZE)
        return false;
    ByteBufferWriter out(area, PROJECTILE_STATE_SIZE);
    const Vector3 position = const_cast<Projectile*>(this)->GetPosition();
    out.WriteF32(currentSpeed);
    for (const float value : {position.x, position.y, position.z, direction.x, direction.y, direction.z})
        out.WriteF32(value);
    // The weapon's name, cut to 31 characters; the rest of the field is zero.
    u8_t nameField[PROJECTILE_STATE_NAME_SIZE] = {};
    if (weapon) {
        const char* text = weapon->name.Text();
        const size_t length = std::strlen(text);
        std::memcpy(nameField, text, length < PROJECTILE_STATE_NAME_SIZE - 1 ? length : PROJECTILE_STATE_NAME_SIZE - 1);
    }
    out.WriteBytes(nameField, sizeof nameField);
    out.WriteU32(flightClock);
    return out.Ok();
}

bool Projectile::ReadState(const u8_t* area, u32_t size)
{
    if (!area || size < PROJECTILE_STATE_SIZE)
        return false;
    ByteReader in(area, PROJECTILE_STATE_SIZE);
    float speed = 0.0f;
    float values[6] = {};
    in.ReadF32(speed);
    for (float& value : values)
        in.ReadF32(value);
    in.Skip(PROJECTILE_STATE_NAME_SIZE);
    u32_t clock = 0;
    in.ReadU32(clock);
    if (!in.Ok())
        return false;
    direction = {values[3], values[4], values[5]};
    SetPosition({values[0], values[1], values[2]});
    flightClock = clock;
    currentSpeed = speed;
    return true;
}

void Projectile::SaveState(SavedObjectState* state)
{
    if (state)
        WriteState(state->kindArea, sizeof state->kindArea);
}

void Projectile::LoadState(SavedObjectState* state)
{
    if (state)
        ReadState(state->kindArea, sizeof state->kindArea);
}

void ProjectileTableClear()
{
    for (u32_t i = 0; i < g_actors.retiredCount; ++i)
        g_actors.retiredProjectiles[i] = nullptr;
    g_actors.retiredCount = 0;
}

bool ProjectileTableAdd(Projectile* projectile)
{
    if (!projectile)
        return false;
    for (u32_t i = 0; i < g_actors.retiredCount; ++i) {
        if (g_actors.retiredProjectiles[i] == projectile)
            return true;
    }
    if (g_actors.retiredCount == g_actors.retiredCapacity && !GrowRetireTable())
        return false;
    g_actors.retiredProjectiles[g_actors.retiredCount++] = projectile;
    return true;
}

void ProjectileTableDestroyAll()
{
    for (u32_t i = 0; i < g_actors.retiredCount; ++i) {
        Projectile* projectile = g_actors.retiredProjectiles[i];
        g_actors.retiredProjectiles[i] = nullptr;
        DynObjectRemove(projectile);
        delete projectile;
    }
    g_actors.retiredCount = 0;
}

u32_t ProjectileTableCount()
{
    return g_actors.retiredCount;
}

u32_t ProjectileTableCapacity()
{
    return g_actors.retiredCapacity;
}

void ProjectileTableFree()
{
    delete[] g_actors.retiredProjectiles;
    g_actors.retiredProjectiles = nullptr;
    g_actors.retiredCapacity = 0;
    g_actors.retiredCount = 0;
}

void ProjectileDetonateByName(const char* name)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->typeId != OBJECT_TYPE_PROJECTILE || !SameName(object->name, name))
            continue;
        Projectile* projectile = static_cast<Projectile*>(object);
        projectile->Explode();
        Weapon::RetireProjectile(projectile);
    }
}

u32_t ProjectileTableCountByName(const char* name)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    u32_t found = 0;
    for (s32_t i = 0; i < count; ++i) {
        const DynamicObject* object = objects[i];
        if (object && object->typeId == OBJECT_TYPE_PROJECTILE && SameName(object->name, name))
            ++found;
    }
    return found;
}
