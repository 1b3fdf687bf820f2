// The links of world objects to their indoor meshes in the indoor-rendering plug-in, announced,
// refreshed and released through plug-in messages (IndoorLink is core/plugins/plugin_api.h's).
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

class DynamicObject;

// A new link owned by the object: no handle, an empty entry array growing by one.
IndoorLink* IndoorLinkCreate(DynamicObject* owner);
// Links alive (made and not released).
u32_t IndoorLinkCount();
// Announces the link with the named indoor mesh (message 0x70002); the handle the plug-in wrote.
PluginWord IndoorMeshAttach(const char* name, IndoorLink* link);
// Tells the plug-in the link's transform was refreshed (message 0x70003).
void IndoorLinkUpdate(IndoorLink* link);
// Tells the plug-in the link is gone (message 0x7000a with its handle), then frees its entries
// (blocks made with new u8_t[]), the entry array and the link. Nothing for null.
void IndoorLinkRelease(IndoorLink* link);

struct MapTraceInfo;

// Whether the segment meets the box (a segment of length 0 is a point; NaN meets nothing).
bool IndoorSegmentMeetsBox(const float* from, const float* to, const Vector3& boxMin, const Vector3& boxMax);

// ---- Engine operations that depend on the indoor plug-in's answers ----------------------------
// With no indoor plug-in every event goes unanswered: no point lies in any indoor mesh.

// Mission start, after the map load: message 0x70000, then every structure attaches its indoor mesh.
void IndoorMissionLoaded();
// Mission leave: message 0x70001, then the objects the plug-in kept are deleted
// (IndoorObjectsFree); the camera's indoor position is forgotten.
void IndoorMissionUnloaded();
// Keeps the indoor position of a point moving from `from` to `to` up to date. Without a current
// indoor object, the structures with an indoor mesh linked where the end point lies, then where the
// start point lies, whose box the segment crosses are offered (message 0x70005) until one answers a
// cell; with one, the plug-in walks from the current cell (message 0x70006). True when indoors.
bool IndoorLocatePoint(const float* from, const float* to, IndoorPosition* position);
// The indoor position of the camera, kept by the game frame.
IndoorPosition* IndoorCameraPosition();
// The indoor road of the frame: a new visit stamp, empty visibility lists, pass selector 9, the
// indoor render states, then message 0x70004 with the camera's indoor position.
void IndoorRender();
// A segment traced inside the indoor mesh of the position (message 0x70007); 1 on a hit, which
// fills the record, else 0.
s32_t IndoorTraceSegment(IndoorPosition* position, const float* from, const float* to, MapTraceInfo* hit);
// While the camera stands in an indoor cell, the object the plug-in finds near the point (message
// 0x70008); else 0.
PluginWord IndoorQueryNearPoint(const float* point, float radius);

// ---- The indoor road of the game frame ----------------------------------------------------------
// Looks the camera's indoor cell up again when the camera moved since the last look (the first
// look after the mission start takes the point itself); true while the camera stands indoors.
bool IndoorCameraLocate(const float* eye);
// The frame of a camera in an indoor cell: the indoor flag set, the camera set up at the eye, depth
// test and writes on, the plug-in draws the cell (IndoorRender), then the static map the clip
// callback collected and the indoor pass list.
void IndoorFrameDraw(const float* eye, float yaw, float pitch, float fov);
