// Meshes, textures, the visibility pass and mesh traces do not exist yet: registrations find
// nothing, nothing is collected or drawn, and no mesh is hit.
#include "scene/indoor_bridge.h"

void* RegisterAffMesh(const char*)
{
    return nullptr;
}

void* RegisterTexture(const char*)
{
    return nullptr;
}

void IndoorClipCallback() {}

void IndoorRenderMeshCallback(DynamicObject*, s32_t) {}

void IndoorRenderDefCallback(DynamicObject*) {}

s32_t IndoorMeshSphereCollision(DynamicObject*, s32_t, const float*, float)
{
    return 0;
}

s32_t IndoorMeshTrace(DynamicObject*, s32_t, const float*, const float*, void*)
{
    return 0;
}
