// What an indoor-rendering plug-in calls back in the host: textures and meshes it registers, the
// shared portal clip data and the drawing, collision and trace callbacks.
#pragma once
#include "core/plugin_api.h"
#include "core/types.h"

class DynamicObject;

// Registers the ".aff" mesh for the plug-in's use; the mesh, or null when it cannot be loaded.
void* RegisterAffMesh(const char* name);
// Loads or finds the texture through the texture manager; the texture, or null.
void* RegisterTexture(const char* name);
// Collects what is seen through the portal described by the shared clip data (g_scene.indoorClip).
void IndoorClipCallback();
// Draws mesh `mesh` of the object.
void IndoorRenderMeshCallback(DynamicObject* object, s32_t mesh);
// Hands the object to the frame's visible-object list.
void IndoorRenderDefCallback(DynamicObject* object);
// Sphere against the faces of one mesh of the object; 1 on contact.
s32_t IndoorMeshSphereCollision(DynamicObject* object, s32_t mesh, const float* centre, float radius);
// Segment against one mesh of the object; 1 on a hit, which fills the trace record.
s32_t IndoorMeshTrace(DynamicObject* object, s32_t mesh, const float* from, const float* to, void* hit);
