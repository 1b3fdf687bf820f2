// The root class of every object in the world.
#pragma once
#include "core/types.h"

class SoundSource;

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

    SoundSource* sound;
};
