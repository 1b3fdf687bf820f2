// The links of world objects to their indoor meshes in the indoor-rendering plug-in, announced,
// refreshed and released through plug-in messages (IndoorLink is core/plugin_api.h's).
#pragma once
#include "core/plugin_api.h"

class DynamicObject;

// A new link owned by the object: no handle, an empty entry array growing by one.
IndoorLink* IndoorLinkCreate(DynamicObject* owner);
// Announces the link with the named indoor mesh (message 0x70002); the handle the plug-in wrote.
PluginWord IndoorMeshAttach(const char* name, IndoorLink* link);
// Tells the plug-in the link's transform was refreshed (message 0x70003).
void IndoorLinkUpdate(IndoorLink* link);
// Tells the plug-in the link is gone (message 0x7000a with its handle), then frees its entries
// (blocks made with new u8_t[]), the entry array and the link. Nothing for null.
void IndoorLinkRelease(IndoorLink* link);
