// What an indoor-rendering plug-in calls back in the host: textures and meshes it registers, the
// shared portal clip data and the drawing, collision and trace callbacks. The argument lists are
// the plug-in interface's (core/plugins/plugin_api.h).
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

// Registers the ".aff" mesh for the plug-in's use (through the animation cache, without GPU
// buffers); the mesh, or null when it cannot be loaded.
void* RegisterAffMesh(const char* name);
// Loads or finds the texture through the texture manager; the texture, or null.
void* RegisterTexture(const char* name);
// Collects what is seen through the portal described by the shared clip data (g_scene.indoorClip):
// the planes are moved into the frame of each of the 25 world tiles round the camera and the
// leaves and objects inside them are collected for that tile (RenderIndoorClipVisibility).
void IndoorClipCallback();
// Draws one mesh of a registered mesh through the indoor mesh renderer.
void IndoorRenderMeshCallback(void* mesh, s32_t meshIndex, s32_t frame, const float* world, void* const* textures);
// Hands the object to the frame's visible-object list.
void IndoorRenderDefCallback(void* object);
// Sphere against the faces of one mesh of a registered mesh; 1 on contact.
s32_t IndoorMeshSphereCollision(void* mesh, s32_t meshIndex, float* centre, float radius);
// Segment against one mesh of a registered mesh; 1 on a hit, which fills the record.
s32_t IndoorMeshTrace(void* mesh, s32_t meshIndex, const float* from, const float* to, IndoorTraceHit* hit);
