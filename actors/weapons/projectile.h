// Projectiles: the world object of one bullet, grenade or charge between the shot and its end, the
// template a weapon builds from its "bullet" block (never placed in the world) and the table of
// projectiles retired within one simulation step, deleted together at the start of the next.
//
// Ownership: a weapon owns its template; the template heads the list of its live copies (newest
// first) and its destructor's owner, the weapon, detaches them first. A live copy belongs to the
// world registry while it flies and to the retire table once retired; only the table's sweep
// deletes it. The three sound sets belong to the template.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "world/decals/decal_builders.h"
#include "world/objects/graph_obj.h"
#include "world/objects/projectile_hits.h"

class Actor;
class AnimMesh;
class Material;
class SoundSet;
struct MapTraceInfo;
class Weapon;
struct ObjectTraceBlock;

// The retire table starts with this many slots and grows when a step retires more.
constexpr u32_t PROJECTILE_TABLE_SLOTS = 1024;
// The most projectiles one shot of a bullet block fires ("pieces").
constexpr u32_t PROJECTILE_MAX_PIECES = 64;
// The kind area of a projectile's saved record: speed, position, direction, weapon name, clock.
constexpr u32_t PROJECTILE_STATE_SIZE = 64;
constexpr u32_t PROJECTILE_STATE_NAME_SIZE = 32;

class Projectile : public GraphObj {
public:
    // Type id 11 at the origin; damage 100, range 1, one piece, may continue; the last update tick
    // is the tick of construction.
    Projectile();
    // Frees the sound sets, unlinks the projectile from its template's list of copies and clears
    // its template, list and weapon links.
    ~Projectile() override;

    // Drawn only once the flight clock has passed the draw delay, and only when visible.
    void Render() override;
    // The traces and the object folder stay the shared defaults of every world object.
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    // A timed explosive reports its node tree's box; any other projectile 0.1 round its root.
    void GetGeometryBounds(float* box) override;
    // One frame of flight (actors/weapons/projectile_flight.cpp): the arc, the sounds, the hit test.
    void Update() override;
    // The fly-by sound, once, near the viewer; never for the player's own shots.
    void UpdateSounds() override;
    const char* GetComponentFolder() const override { return "component\\ammo\\"; }
    const char* GetObjectFolder() const override;
    bool IsMovable() const override { return true; }
    // The record: speed, position, direction, the firing weapon's name (at most 31 characters)
    // and the flight clock, in the kind area of the object's saved state.
    void LoadState(SavedObjectState* state) override;
    void SaveState(SavedObjectState* state) override;

    // What the decals of a hit or an explosion read of this shot.
    DecalShot DecalShotOf() const
    {
        return DecalShot{bulletType, flightDirection, {decalSize[0], decalSize[1]}, decalRadius};
    }
    // True for an explosive with a fuse: it lies where it lands until the fuse runs out.
    bool IsTimedExplosive() const { return fuseTime != 0 && bulletType == BULLET_TYPE_EXPLOSIVE; }
    // Radius damage, sound, scorch, particle and the AI's alarm, at the root position.
    void Explode();
    // True when the projectile is finished this frame (exploded or retired).
    bool Fly();
    // The closed-form arc: position (world units) and speed (metres per second) t ms into it.
    Vector3 PositionAt(float t) const;
    float SpeedAt(float t) const;
    // The traces of the step from the previous position, and the hit they find.
    void TestHit();
    // The hit of one step from the two trace results (the indoor one covering the fraction f of the
    // step), r the step's stop draw: the record choice, water, object or surface hit, the impact.
    void TakeHit(MapTraceInfo& first, bool mapHit, MapTraceInfo& second, bool indoorHit, float f, float r);
    // Stops, bounces, ricochets or passes the projectile at a hit (hit object may be null).
    void ResolveImpact(DynamicObject* hitObject, const Vector3& hitPoint, Material* material, bool stop);
    // Puts the copy at the head of the template's list of live copies (after unlinking it from any
    // list it was in).
    void LinkToTemplate(Projectile* source);
    // Leaves the template's list; the links and the template become null.
    void UnlinkFromTemplate();

    // Written and read field by field; false (nothing changed) when the area is too small.
    bool WriteState(u8_t* area, u32_t size) const;
    bool ReadState(const u8_t* area, u32_t size);

    u8_t flySoundPlayed = 0;
    s32_t bulletType = BULLET_TYPE_HIT;
    AnimMesh* model = nullptr;  // the animation cache's
    EngineString textureName;
    EngineString modelFolder;
    EngineString explosionParticle;
    EngineString airBurstParticle;
    EngineString trailParticle;
    Vector3 direction;  // launch direction of the current arc
    float weight = 0.0f;
    float damage = 100.0f;
    float radius = 0.0f;  // world units
    float resistance = 0.0f;
    float screenShake[4] = {};
    // Set on a template whose shots leave the player's view roll alone. The definition files have no key
    // for it, so it stays 0.
    u8_t noShotShake = 0;
    float currentSpeed = 0.0f;  // metres per second
    float muzzleVelocity = 0.0f;
    float deviation[2] = {};  // kept in the template only
    u32_t lastUpdateTick = 0;
    u32_t flightClock = 0;  // milliseconds of flight
    u32_t fuseTime = 0;     // 0: no fuse
    u32_t lifeTime = 0;
    u32_t arcStartTick = 0;
    Weapon* weapon = nullptr;  // the weapon that fired it; null in the template
    Actor* shooter = nullptr;
    Vector3 launchPosition;
    Vector3 previousPosition;
    Vector3 arcStartPosition;
    Vector3 flightDirection;  // unit direction of the last step longer than 0.001
    Vector3 hitNormal;
    float decalSize[2] = {};   // smallest and largest decal, world units
    float decalRadius = 0.0f;  // a new decal this close to an earlier one is dropped
    float initialDensity = 0.0f;
    float finalDensity = 0.0f;
    float range = 1.0f;
    u8_t visible = 0;  // the model is drawn (a tracer)
    u8_t mayContinue = 1;
    u8_t hitThisStep = 0;
    u8_t debugColourToggle = 0;
    u8_t inWater = 0;
    u8_t ricocheted = 0;
    u32_t drawDelay = 0;  // milliseconds of flight before the model is drawn
    u32_t pieces = 1;     // projectiles per shot
    void* indoorObject = nullptr;
    s32_t indoorCell = 0;
    Projectile* source = nullptr;  // the template copied; null in the template
    Projectile* nextCopy = nullptr;
    Projectile* previousCopy = nullptr;
    u8_t blank = 0;
    Vector3 explosionNormal;
    Vector3 explosionPoint;
    // The material of this projectile's explosion scorch, set by its own last impact: a map's
    // materials go with the map, and another projectile's impact says nothing of where this one
    // bursts (an air burst leaves no scorch).
    Material* explosionDecalMaterial = nullptr;
    SoundSet* flySounds = nullptr;  // owned by the template; copies use their template's
    SoundSet* hitSounds = nullptr;
    SoundSet* explosionSounds = nullptr;
    // What the last hit test asked of its traces (object options and the object ignored).
    u32_t lastTraceOptions = 0;
    DynamicObject* lastTraceIgnored = nullptr;

    // What the graphic object's own hit reaction reads of a projectile. The hit test fills them
    // just before it tells the hit object: active is IsTimedExplosive (the one projectile that goes
    // on from any hit), the two damage values are the weight and the current speed, and the sound
    // value is the step's stop draw.
    bool IsActive() const { return active; }
    // The values above, as the hit object's reaction takes them.
    ProjectileHit HitRecord() { return {this, active, hitSound, damageA, damageB, direction}; }
    bool active = false;
    float hitSound = 0.0f;  // a hit makes a sound only at 0.5 or below
    float damageA = 0.0f;   // the damage of a hit: damageA x 0.01 x damageB x 0.01 x 25
    float damageB = 0.0f;
};

// The shared defaults of world objects that do not trace or name their own definition folder:
// no hit (1e31) whatever is asked, and "object\".
float NoRayHit(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit);
const char* DefaultObjectFolder();

// The record choice of a step: true when the indoor trace's result is taken over the map trace's
// (ties go to the map).
bool ProjectileIndoorWins(bool mapHit, const MapTraceInfo& mapRecord, const Vector3& previous, float indoorDistance);

// The retire table. Clear forgets every entry without deleting; Add stores a projectile once
// (false only for null or when the table cannot grow); DestroyAll takes every stored projectile
// out of the world registry and deletes it, in order, and empties the table.
void ProjectileTableClear();
bool ProjectileTableAdd(Projectile* projectile);
void ProjectileTableDestroyAll();
u32_t ProjectileTableCount();
u32_t ProjectileTableCapacity();
// Frees the table's storage (it grows again on demand).
void ProjectileTableFree();
// Every registered projectile of that name (without regard to case) explodes and is retired.
void ProjectileDetonateByName(const char* name);
// The registered projectiles of that name (without regard to case): live copies only, templates
// are never registered.
u32_t ProjectileTableCountByName(const char* name);
