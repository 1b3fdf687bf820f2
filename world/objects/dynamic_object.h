// The root class of every object in the world: the state every world object has and the 37 virtual
// operations through which the registry, the render passes, the simulation, the savegames and the
// scripts handle an object without knowing its class.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DOEnvelope;
class IDirect3DTexture8;
class SoundSource;
struct GeometryEnumData;
struct ObjectGridEntry;
struct ObjectTraceBlock;
struct ProjectileHit;
struct SavedObjectState;

// The class of an object, set by each constructor. 7 is not used.
enum DynamicObjectTypeId : s32_t {
    OBJECT_TYPE_ROOT = 0,     // the root class and the shadow companions
    OBJECT_TYPE_GRAPHIC = 1,  // plain graphic objects (sky objects) and particle-effect objects
    OBJECT_TYPE_ACTOR = 2,
    OBJECT_TYPE_STRUCTURE = 3,
    OBJECT_TYPE_WEAPON = 4,
    OBJECT_TYPE_VEHICLE = 5,  // vehicle, boat, caterpillar and helicopter
    OBJECT_TYPE_MAP_OBJECT = 6,
    OBJECT_TYPE_EQUIPMENT = 8,
    OBJECT_TYPE_ENTITY = 9,  // entity and networked entity
    OBJECT_TYPE_TREE = 10,
    OBJECT_TYPE_PROJECTILE = 11,
};

// Called by EnumGeometry once per mesh with the caller's record, filled with that mesh's geometry.
using GeometryEnumCallback = void (*)(GeometryEnumData* data);

constexpr u32_t DYNAMIC_OBJECT_EFFECT_NAME_SIZE = 128;

class DynamicObject {
public:
    // Sets every field to its start value and makes the object's sound source, owned by the object.
    DynamicObject();
    DynamicObject(const DynamicObject&) = delete;
    DynamicObject& operator=(const DynamicObject&) = delete;

    // The virtual operations, in the order every class keeps (plug-ins built from this header call
    // them by their place). Classes append their own operations behind these.

    virtual void Render() {}
    // kind: the kind of hit; angle in radians.
    virtual void ApplyDamage(int /*kind*/, float /*angle*/, float /*amount*/) {}
    virtual void OnProjectileHit(ObjectTraceBlock* /*hit*/, const ProjectileHit& /*shot*/) {}
    virtual void OnProjectileHitNotify(ObjectTraceBlock* /*hit*/, DynamicObject* /*source*/) {}
    // Distance along the ray to the nearest hit, filling the record; OBJTRACE_NO_HIT for none.
    virtual float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit);
    // True when the sphere touches the object; out receives the pushed-out centre.
    virtual bool SphereCollision(const Vector3& /*centre*/, float /*radius*/, Vector3* /*out*/) { return false; }
    virtual bool FootprintCollision(const Vector3& /*point*/, float /*halfSize*/, Vector3* /*out*/) { return false; }
    // False in every class; nothing asks it.
    virtual bool QueryFalse(int /*argument*/) { return false; }
    // The object's geometry box in world space: min x, y, z, then max x, y, z. Every placed class
    // answers it; the root answers a point at its position.
    virtual void GetGeometryBounds(float* box);
    // The box kept for the object's links in the world; six floats, min corner first.
    virtual void SetBoundingBox(const float* box);
    virtual void GetBoundingBox(float* box);
    // Once per game frame.
    virtual void Update() {}
    // At the end of the object's own Update.
    virtual void UpdateSounds() {}
    virtual void SetPosition(const Vector3& /*position*/) {}
    // Angles in radians: x pitch, y yaw, z roll.
    virtual void SetRotation(const Vector3& /*angles*/) {}
    virtual Vector3 GetPosition() const { return {}; }
    virtual Vector3 GetRotation() const { return {}; }
    // The folders the object's meshes and textures, and its definitions, are found in.
    virtual const char* GetComponentFolder() const { return "component\\extras\\"; }
    virtual const char* GetObjectFolder() const { return "object\\"; }
    virtual bool IsMovable() const { return false; }
    // True for objects that block traces and take decals.
    virtual bool IsCollidable() const { return false; }
    virtual bool ClipsVegetation() const { return clipsVegetation != 0; }
    virtual bool IsStatic() const { return true; }
    virtual void SetCastsShadow(bool casts) { castsShadow = casts; }
    virtual bool CastsShadow() const { return castsShadow != 0; }
    virtual void InvalidateShadows() {}
    // Returns the previous value; while not drawn, Render draws nothing.
    virtual bool SetDrawn(bool draw);
    // A definition line: its keyword and its values. True when the object takes it.
    virtual bool SetParam(const char* /*name*/, const EngineString* /*values*/, int /*count*/) { return false; }
    // The texture of the mesh flagged for shadow overlays, or null.
    virtual IDirect3DTexture8* FindFlaggedMeshTexture() { return nullptr; }
    // Hands each visible mesh's geometry to the callback; false when the class has none.
    virtual bool EnumGeometry(GeometryEnumCallback /*callback*/, GeometryEnumData* /*data*/) { return false; }
    // Clears the replacement links, frees the grid entry and the sound source, clears the names.
    virtual ~DynamicObject();
    virtual void ReleaseShaderSettings() {}
    virtual void LoadState(SavedObjectState* /*state*/) {}
    virtual void SaveState(SavedObjectState* /*state*/) {}
    virtual void StorePose() {}
    virtual void ApplyStoredPose() {}
    virtual void RestorePose() {}

    // The object's entry in the object grid (other parts of the program call these GetName and
    // SetName). Setting frees the current entry first; null is allowed.
    ObjectGridEntry* GetGridEntry() const { return gridEntry; }
    void SetGridEntry(ObjectGridEntry* entry);
    // Small accessors of the definition parameters.
    s32_t GetTypeId() const { return typeId; }
    void SetNameText(const char* text) { name.Assign(text); }
    EngineString& GetNameString() { return name; }
    void SetDestroyedReplacement(DynamicObject* object) { destroyedReplacement = object; }

    ObjectGridEntry* gridEntry = nullptr;  // owned
    EngineString name;                     // compared without regard to case
    u8_t castsShadow = 1;
    Vector3 bboxMin = {1e30f, 1e30f, 1e30f};  // the empty box: any point extends it
    Vector3 bboxMax = {-1e30f, -1e30f, -1e30f};
    u8_t hitShake = 0;           // "hitshake": a projectile hit pushes the object
    u8_t grenadeHit = 0;         // "grenadehit"
    float lodDistances[3] = {};  // valid only while hasOwnLodDistances is set
    u8_t hasOwnLodDistances = 0;
    DynamicObject* destroyedReplacement = nullptr;  // not owned: it lives in the world registry
    DynamicObject* replacedOriginal = nullptr;      // on a replacement: the object it replaces
    DOEnvelope* envelope = nullptr;                 // not owned
    u8_t clipsVegetation = 0;                       // "clipveg"
    s32_t typeId = OBJECT_TYPE_ROOT;
    EngineString infoName;  // the localised display name ("infoname")
    u8_t drawn = 1;
    float energy = 1000.0f;
    float maxEnergy = 1000.0f;
    char destroyEffect[DYNAMIC_OBJECT_EFFECT_NAME_SIZE] = {};  // particle effect of the destruction ("particle")
    // The two shadow companions; owned by the world registry.
    DynamicObject* shadowCompanion = nullptr;
    DynamicObject* shadowVolume = nullptr;
    SoundSource* sound;   // owned; null only when it could not be made
    u8_t placedOnce = 0;  // set once the connection objects have placed the object
    // What the player's object use leaves on the object for the HUD: picked by the use click, and
    // marked as an order's target.
    u8_t pickedHighlight = 0;
    u8_t markedHighlight = 0;
    // Handed on untouched in the plug-ins' object-use event.
    u32_t useWord = 0;
};

// The nearest collidable registered object that the ray from origin along direction hits, skipping
// the ignored object, companions and plain graphic objects, and objects whose position lies behind
// the origin. Returns its distance (OBJTRACE_NO_HIT for none) and writes it to *object (when object
// is not null; null for none). On a hit the record holds that object's trace, the heights of its
// triangle lowered by 1.0; on a miss the record is left as it was given.
float DynObjectsRayPick(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit, DynamicObject** object,
                        DynamicObject* ignored);
