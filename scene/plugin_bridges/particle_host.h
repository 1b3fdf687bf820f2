// The host side of the particle plug-in: textures, meshes and pins it registers, the particle data
// it hands over each frame for drawing, and the events that drive it (group 6).
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class AnimMesh;
class DynamicObject;
class GraphObj;

// ---- Host functions the plug-in calls --------------------------------------------------------
// Registers the texture "component\effect\<name>"; the index of its entry (textures already
// listed give their first index; a name without a texture shares the null texture's entry).
s32_t ParticleRegisterTexture(const char* name);
// Registers the animated mesh "component\extras\<name>.aff" and its first texture; the index of
// its entry. -1, and nothing registered, when the mesh cannot be loaded.
s32_t ParticleRegisterAnim(const char* name);
// Appends particle data (a ParticleInfo) to draw this frame; the plug-in keeps it alive until the
// next frame event.
void AddParticleInfo(void* info);
// Pins an effect to the node of the object that holds the named mesh; the pin's index, -1 when no
// node holds such a mesh.
s32_t ParticleRegisterPinOBJ(DynamicObject* object, const char* meshName);
// Pins an effect to the named mesh of the first-person weapon; the pin's index.
s32_t ParticleRegisterPinFPW(const char* meshName);
// Removes the pin. Indices are handles the plug-in keeps: the place stays empty and is not
// reused while the map is loaded, so later pins keep their indices. Other indices are ignored.
void ParticleUnregisterPin(s32_t index);
// The pin's current axes (9 floats) and origin (3 floats); untouched for an unknown or removed
// pin, or while the pinned mesh is not shown.
void ParticlePinGetTransform(s32_t index, float* axesOut, float* originOut);
// A graphic object going away empties the places of its pins, so that no pin keeps its nodes; the
// plug-in's effect goes on with the last transform it read.
void ParticlePinsForgetObject(const GraphObj* object);

// ---- Engine operations -----------------------------------------------------------------------
// Keeps the map's height range and heightmap for ground particles, then tells the plug-ins.
void ParticlesMapLoaded();
// Tells the plug-ins, then empties the four registries.
void ParticlesMapUnloaded();
// Empties the frame's particle list and asks the plug-ins for this frame's particles.
void ParticlesFrame();
// With "rbparticles" on, the plug-ins destroy all running systems; the frame's particle list goes
// with them, as its records belonged to those systems.
void ParticlesReset();
// With "rbparticles" on, the effect event of an object; the broadcast's result, 0 when off.
s32_t ParticleObjectEffect(const char* name, DynamicObject* object);

// ---- What the draw step reads ----------------------------------------------------------------
struct ParticleAnimEntry {
    AnimMesh* mesh;
    s32_t textureIndex;
    u32_t meshCount;               // meshes of frame 0
    u32_t* meshes;                 // 0 .. meshCount - 1, the list the mesh draw walks
    IDirect3DTexture8** textures;  // meshCount times the registered texture
};

s32_t ParticleTextureCount();
// The texture of the entry; null for an index out of range (or a texture not found).
IDirect3DTexture8* ParticleTextureAt(s32_t index);
s32_t ParticleAnimCount();
// Null for an index out of range.
const ParticleAnimEntry* ParticleAnimAt(s32_t index);
s32_t ParticleInfoCount();
void* ParticleInfoAt(s32_t index);
// Places of the pin list, removed pins included.
s32_t ParticlePinCount();

// The map values of the ground particles, kept by ParticlesMapLoaded.
struct ParticleMapValues {
    float minY;
    float heightRange;
    const struct MapGrid* heightmap;  // null without one
};
const ParticleMapValues& ParticleGetMapValues();
// Sets the map values directly (tests).
void ParticleSetMapValues(const ParticleMapValues& values);

// Empties the four lists (the map is unloaded, or a test starts over).
void ParticleHostFree();
