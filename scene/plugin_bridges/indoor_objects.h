// Objects that come to rest inside an indoor mesh are handed to the indoor plug-in, which keeps them
// with its cell. The records of the objects it keeps are the bridge's, and so are the objects once
// the mission is left.
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

class DynamicObject;

// Hands the object, lying inside the indoor mesh of `where` (an indoor object and its cell), to the
// indoor plug-in: a record {object, its root node, its model transform, indoor object, cell} goes
// with message 0x70009 ({record, indoor object, cell, the object's position, 0}). The record when
// the plug-in keeps the object (it answers a non-zero word); null when it does not, or when `where`
// is outdoors, and then the caller keeps the object in the world.
IndoorObjectRecord* IndoorObjectAdd(DynamicObject* object, const IndoorPosition& where);
// Forgets the record of an object taken back out of its cell (an actor picked it up); the object
// stays. Nothing for an object the plug-in does not keep.
void IndoorObjectForget(DynamicObject* object);
// The objects the plug-in keeps.
u32_t IndoorObjectCount();
// Deletes every kept object with its record: after the mission is left (the plug-in has forgotten its
// cells), nothing else would.
void IndoorObjectsFree();
