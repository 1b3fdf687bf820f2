// The weapon object: its life, its magazine ring, its saved record and its place on a mount.
#include "actors/weapons/weapon.h"

#include <cstring>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_retire.h"
#include "core/files/byte_io.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"
#include "world/objects/shadow_object.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr u32_t kAiGoodForValues = 6;

// Copies at most size - 1 characters and a terminating zero into a field of that size.
void WriteNameField(ByteBufferWriter& out, const char* text, u32_t size)
{
    u8_t field[WEAPON_STATE_NAME_SIZE] = {};
    const size_t length = std::strlen(text ? text : "");
    std::memcpy(field, text ? text : "", length < size - 1 ? length : size - 1);
    out.WriteBytes(field, size);
}

// A name field is whole when a zero ends it within the field.
bool ReadNameField(const u8_t* field, u32_t size, EngineString* out)
{
    const void* end = std::memchr(field, 0, size);
    if (!end)
        return false;
    if (out)
        out->Assign(reinterpret_cast<const char*>(field));
    return true;
}

// The most ring entries the kind area holds after the fixed fields.
constexpr u32_t kRingEntriesThatFit = (SAVED_OBJECT_KIND_AREA_SIZE - WEAPON_STATE_RING_OFFSET) / 2;

}  // namespace

Weapon::Weapon() : currentWeapon(this), aimLimits{0.0f, kPi, -kPi / 2.0f, kPi / 2.0f}
{
    typeId = OBJECT_TYPE_WEAPON;
    SetPosition({});
    SetRotation({});
    boundsValid = 0;
    aiGoodFor = new float[kAiGoodForValues]();
}

Weapon::~Weapon()
{
    if (envelope) {
        if (ownsEnvelope) {
            // Its envelope may be the one whose event deletes the weapon: it outlives the event
            // without the weapon.
            envelope->object = nullptr;
            EnvelopeRetire(envelope);
        } else if (envelope->object == this) {
            envelope->object = nullptr;
        }
        envelope = nullptr;
    }
    FreeRing();
    for (u32_t i = 0; i < subWeaponCount; ++i)
        delete subWeapons[i];
    delete[] subWeapons;
    subWeapons = nullptr;
    subWeaponCount = 0;
    ReleaseFirstPerson();
    ReleaseBulletTemplate();
    delete[] aiGoodFor;
    aiGoodFor = nullptr;
}

void Weapon::FreeRing()
{
    if (!magazines)
        return;
    if (ringOwned) {
        // Sub-weapons that hold this ring let go of it first.
        for (u32_t i = 0; i < subWeaponCount; ++i) {
            if (subWeapons[i]->magazines == magazines) {
                subWeapons[i]->magazines = nullptr;
                subWeapons[i]->ringSize = 0;
            }
        }
        for (u32_t i = 0; i < ringSize; ++i)
            delete magazines[i];
        delete[] magazines;
    }
    magazines = nullptr;
    ringSize = 0;
    ringOwned = false;
}

void Weapon::MakeRing(u32_t entries, u16_t rounds)
{
    FreeRing();
    ringSize = entries;
    magazines = new u16_t*[ringSize];
    for (u32_t i = 0; i < ringSize; ++i)
        magazines[i] = new u16_t(rounds);
    ringOwned = true;
    if (commonStats)
        ShareMagazines(magazines, ringSize);
}

void Weapon::ReleaseFirstPerson()
{
    delete[] fpMeshLod;
    fpMeshLod = nullptr;
    fpMeshLodCount = 0;
    delete[] fpAnims;
    fpAnims = nullptr;
    for (IDirect3DTexture8**& textures : fpTextures) {
        delete[] textures;
        textures = nullptr;
    }
    fpTextureCount = 0;
}

void Weapon::ReleaseBulletTemplate()
{
    if (!bulletTemplate)
        return;
    // Copies still in flight outlive the weapon: they lose their weapon and template.
    Projectile* copy = bulletTemplate->nextCopy;
    while (copy) {
        Projectile* next = copy->nextCopy;
        copy->weapon = nullptr;
        copy->source = nullptr;
        copy->previousCopy = copy->nextCopy = nullptr;
        copy = next;
    }
    bulletTemplate->nextCopy = nullptr;
    delete bulletTemplate;
    bulletTemplate = nullptr;
}

void Weapon::FillMagazines()
{
    MakeRing(static_cast<u32_t>(magazineCountFull) + 1, magazineCap);
}

void Weapon::ShareMagazines(u16_t** ring, u32_t size)
{
    for (u32_t i = 0; i < subWeaponCount; ++i) {
        Weapon* sub = subWeapons[i];
        if (sub->magazines == ring)
            continue;
        sub->FreeRing();
        sub->magazines = ring;
        sub->ringSize = ring ? size : 0;
        sub->ringOwned = false;
    }
}

void Weapon::ResetAmmo()
{
    if (magazines) {
        roundsInGun = magazineCapFull;
        spareMagazines = magazineCountFull;
        for (u32_t i = 0; i < ringSize; ++i)
            *magazines[i] = magazineCap;
    }
    for (u32_t i = 0; i < subWeaponCount; ++i) {
        Weapon* sub = subWeapons[i];
        if (commonStats) {
            sub->spareMagazines = sub->magazineCountFull;
            sub->roundsInGun = sub->magazineCapFull;
        } else {
            sub->ResetAmmo();
        }
    }
}

bool Weapon::CycleMagazine()
{
    if (spareMagazines == 0 || !magazines || ringSize == 0)
        return false;
    // The spares that take part stay within the ring.
    const u32_t last = spareMagazines < ringSize ? spareMagazines : ringSize - 1;
    if (last == 0)
        return false;
    u16_t* inGun = magazines[0];
    const u16_t rounds = *inGun;
    u16_t chambered = 0;
    if (rounds >= 1) {
        chambered = 1;
        *inGun = static_cast<u16_t>(rounds - 1);
    }
    for (u32_t i = 0; i < last; ++i)
        magazines[i] = magazines[i + 1];
    magazines[last] = inGun;
    *magazines[0] = static_cast<u16_t>(*magazines[0] + chambered);
    return rounds <= 1;
}

u16_t Weapon::GetMagazineRounds(u32_t index) const
{
    return magazines && index < ringSize ? *magazines[index] : 0;
}

void Weapon::SetMagazineRounds(u32_t index, u16_t rounds)
{
    if (magazines && index < ringSize)
        *magazines[index] = rounds;
}

void Weapon::SetOwner(Actor* actor)
{
    owner = actor;
    for (u32_t i = 0; i < subWeaponCount; ++i)
        subWeapons[i]->SetOwner(actor);
}

Vector3 Weapon::GetMuzzlePosition()
{
    if (mountNode) {
        D3DXMATRIX world;
        mountNode->UpdateTransform(&world);
        const Vector3& own = mountNode->GetPosition();
        const D3DXVECTOR3 point(own.x, own.y, own.z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &point, &world);
        return {placed.x, placed.y, placed.z};
    }
    return root->GetPosition();
}

void Weapon::GetGeometryBounds(float* box)
{
    if (!mountNode) {
        GraphObj::GetGeometryBounds(box);
        return;
    }
    const Vector3 saved = GetRotation();
    SetRotation(mountNode->GetRotation());
    GraphObj::GetGeometryBounds(box);
    SetRotation(saved);
}

void Weapon::InvalidateShadows()
{
    for (DynamicObject* companion : {shadowCompanion, shadowVolume}) {
        if (!companion)
            continue;
        static_cast<ShadowObject*>(companion)->Invalidate();
        DynObjectUpdateGrid(companion);
    }
}

bool Weapon::WriteState(u8_t* area, u32_t size) const
{
    const u32_t entries = RingSize();
    // Counts that do not fit their bytes, or a ring that does not fit the area, are refused.
    if (!area || size < WEAPON_STATE_RING_OFFSET + 2 * entries || spareMagazines > 255 || roundsInGun > 255 ||
        entries > 255)
        return false;
    ByteBufferWriter out(area, size);
    WriteNameField(out, previousOwner ? previousOwner->name.Text() : "", WEAPON_STATE_NAME_SIZE);
    WriteNameField(out, name.Text(), WEAPON_STATE_NAME_SIZE);
    out.WriteU8(static_cast<u8_t>(spareMagazines));
    out.WriteU8(static_cast<u8_t>(roundsInGun));
    out.WriteU8(static_cast<u8_t>(entries));
    out.WriteU8(0);
    for (u32_t i = 0; i < entries; ++i)
        out.WriteU16(*magazines[i]);
    return out.Ok();
}

bool Weapon::ReadState(const u8_t* area, u32_t size)
{
    if (!area || size < WEAPON_STATE_RING_OFFSET || !WeaponStateNames(area, size, nullptr, nullptr))
        return false;
    ByteReader in(area, size);
    in.Skip(2 * WEAPON_STATE_NAME_SIZE);
    u8_t spares = 0;
    u8_t rounds = 0;
    u8_t entries = 0;
    in.ReadU8(spares);
    in.ReadU8(rounds);
    in.ReadU8(entries);
    in.Skip(1);
    if (!in.Ok() || entries > kRingEntriesThatFit || in.Remaining() < 2u * entries)
        return false;
    u16_t counts[255] = {};
    for (u32_t i = 0; i < entries; ++i)
        in.ReadU16(counts[i]);
    if (!in.Ok())
        return false;
    roundsInGun = rounds;
    spareMagazines = spares;
    // A borrowed ring is the parent's: its record carries the ring.
    if (entries > 0 && (ringOwned || !magazines)) {
        // The ring takes the record's size, so that what is freed later is what the ring holds.
        magazineCountFull = static_cast<u16_t>(entries - 1);
        if (RingSize() != entries)
            MakeRing(entries, 0);
        for (u32_t i = 0; i < entries; ++i)
            *magazines[i] = counts[i];
    }
    if (commonStats) {
        for (u32_t i = 0; i < subWeaponCount; ++i) {
            subWeapons[i]->roundsInGun = rounds;
            subWeapons[i]->spareMagazines = spares;
        }
    }
    return true;
}

void Weapon::SaveState(SavedObjectState* state)
{
    if (state && !WriteState(state->kindArea, sizeof state->kindArea))
        Log("WARNING: Weapon '%s': its ammunition does not fit the saved record, not saved\n", name.Text());
}

void Weapon::LoadState(SavedObjectState* state)
{
    if (state && !ReadState(state->kindArea, sizeof state->kindArea))
        Log("WARNING: Weapon '%s': damaged saved record refused\n", name.Text());
}

bool WeaponStateNames(const u8_t* area, u32_t size, EngineString* previousOwnerName, EngineString* ownName)
{
    if (!area || size < 2 * WEAPON_STATE_NAME_SIZE)
        return false;
    return ReadNameField(area, WEAPON_STATE_NAME_SIZE, previousOwnerName) &&
           ReadNameField(area + WEAPON_STATE_NAME_SIZE, WEAPON_STATE_NAME_SIZE, ownName);
}

Weapon* FindWeaponByName(const char* name)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    const size_t length = std::strlen(name ? name : "");
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->typeId != OBJECT_TYPE_WEAPON)
            continue;
        if (std::strlen(object->name.Text()) == length && CompareNoCase(object->name.Text(), name ? name : "") == 0)
            return static_cast<Weapon*>(object);
    }
    return nullptr;
}
