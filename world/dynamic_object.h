// The root class of every object in the world.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class SoundSource;
struct ObjectGridEntry;

// Type id of actors.
constexpr s32_t OBJECT_TYPE_ACTOR = 2;

class DynamicObject {
public:
    // Makes the object's sound source, with the object as its owner.
    DynamicObject();
    // Releases and deletes the sound source.
    virtual ~DynamicObject();
    DynamicObject(const DynamicObject&) = delete;
    DynamicObject& operator=(const DynamicObject&) = delete;

    // The object's position; the root class is at the origin.
    virtual Vector3 GetPosition() const { return {}; }
    // Moves the object; the root class has no position to move.
    virtual void SetPosition(const Vector3&) {}
    // True for objects that block traces and take decals.
    virtual bool IsCollidable() const { return false; }
    // The object's bounds in world space: min x, y, z, then max x, y, z. The root class is a point
    // at its position.
    virtual void GetGeometryBounds(float* box) const;

    SoundSource* sound;
    EngineString name;
    s32_t typeId = 0;
    // The object's link record in the octree's object grid (filled when it enters the world).
    ObjectGridEntry* gridEntry = nullptr;
};
