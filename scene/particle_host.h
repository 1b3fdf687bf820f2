// The host side of the particle plug-in: textures, meshes and pins it registers, and the particle
// data it hands over each frame for drawing.
#pragma once
#include "core/types.h"

class DynamicObject;

// Registers the texture "component\effect\<name>"; the index of its entry (textures already
// listed give their first index; a name without a texture shares the null texture's entry).
s32_t ParticleRegisterTexture(const char* name);
// Registers the animated mesh "component\extras\<name>.aff"; the index of its entry.
s32_t ParticleRegisterAnim(const char* name);
// Appends particle data to draw this frame (the plug-in keeps it alive until the next frame).
void AddParticleInfo(void* info);
// Pins an effect to the node of the object that holds the named mesh; the pin's index, -1 when no
// node holds such a mesh.
s32_t ParticleRegisterPinOBJ(DynamicObject* object, const char* meshName);
// Pins an effect to the named mesh of the first-person weapon; the pin's index.
s32_t ParticleRegisterPinFPW(const char* meshName);
// Removes the pin; the pins behind it move down by one. Other indices are ignored.
void ParticleUnregisterPin(s32_t index);
// The pin's current axes (9 floats) and origin (3 floats); untouched for an unknown pin or while
// the pinned mesh is not shown.
void ParticlePinGetTransform(s32_t index, float* axesOut, float* originOut);

s32_t ParticleTextureCount();
s32_t ParticleAnimCount();
s32_t ParticleInfoCount();
void* ParticleInfoAt(s32_t index);
s32_t ParticlePinCount();
// Empties the four lists (the map is unloaded).
void ParticleHostFree();
