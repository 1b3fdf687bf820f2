// The decal passes of a frame: the world list's decals on the static map (DecalListDraw) and the
// decals of the visible graphic objects (DrawObjectDecals), and the tinted draw of one decal that
// both use, as the mesh record renderer does for the decals of a translucent mesh.
#pragma once
#include "core/types.h"
#include "core/console/console_var.h"
#include "scene/passes/object_pass.h"

class Decal;
class GraphObj;
struct AnimFrameMesh;

// The graphic object of the indoor cell that holds the camera, or null: the decal update and the
// object decals pass treat it first and skip it among the visible objects. The pass lists set it.
void DecalPassesSetCellObject(GraphObj* cell);
GraphObj* DecalPassesCellObject();

// A decal's fog share at distance d with the fog starting at s and complete at e (world units):
// 0 up to s, then ((d - s) / (e - s))^power with the ratio held to 0..1; a range not beyond the start
// is full fog from the start on; a power that gives no number counts as full fog.
float DecalFogFactor(float distance, float start, float range, float power);

// The map decals pass: expires the listed decals, fogs each by its distance from the viewer, fades
// and draws it. Only while "rbshowdecals" is on.
void DecalListDraw();
// The object decals pass: the indoor cell's object and every visible graphic object but the player
// draw their decals. Only while "rbshowdecals" is on.
void DrawObjectDecals();

// Draws a decal's triangles in one colour (night vision, the map's lit or shadow colour, or its own)
// with its alpha and fog. With a face mesh only the triangles cut from that mesh are drawn; without,
// only those whose material is opaque; a decal that does not record its meshes and materials draws
// every triangle. Draws through the coloured streaming buffer (XYZ, DIFFUSE, TEX1), which it leaves
// current.
void RenderDrawTintedMesh(const Decal* record, const AnimFrameMesh* faceMesh);
