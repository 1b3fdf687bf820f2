// The "lod" definition line of actors and weapons: per-mesh hide flags and render codes of a node's
// meshes, for the mesh of the given name (three levels) and its level copies "<name>_0" to
// "<name>_2" (one level each).
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class GraphObj;

// The render code of a number written in an actor's "lod" line: 1, 2, 0x12, 0x22, 0x32, 5, 9, 0x42,
// 0x80 for 1 to 9, 3 for anything else.
u32_t ActorLodRenderCode(int number);
// The same for a weapon's lines, where 8 is not a code of its own and gives 3 like any other number.
u32_t WeaponLodRenderCode(int number);

// Applies the line (node, mesh, three hide numbers, optionally three render numbers): 5 to 8 values,
// the node with a mesh. False otherwise.
bool ApplyMeshLodLine(GraphObj& object, const EngineString* values, int count, u32_t (*code)(int number));
