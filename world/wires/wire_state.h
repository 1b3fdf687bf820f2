// The wires' module state and the chain operations that its files share.
#pragma once
#include "world/wires/wires.h"

struct ConObjState {
    ConObjGroup* groups[MAX_WIRE_GROUPS] = {};
    s32_t groupCount = 0;
    u8_t wireCutEnabled = 0;
    SightedWire sighted;
};

extern ConObjState g_conObj;

// Fills a group from the values of a "group" line: lengths in file units (stored x 10), the
// profile by name, the texture from the shared folder, segments clamped to 0..16 (beyond: 16).
void WireFillGroup(ConObjGroup* group, const char* name, const char* profile, const char* texture, float width,
                   float sag, float textureLength, s32_t segments);
// Appends the group to the table; false when the table is full.
bool WireRegisterGroup(ConObjGroup* group);

// Chains are doubly linked lists of point sets.
void ChainAppend(ConObjGroup* group, ConObjPointSet* set);
// Index 0 puts the set first; at or beyond the count it is appended; else before the set at the index.
void ChainInsert(ConObjGroup* group, ConObjPointSet* set, s32_t index);
// The set at the index, walking from the nearer end; null outside the chain.
ConObjPointSet* ChainAt(const ConObjGroup* group, s32_t index);
// Takes the set out of the chain without deleting it.
void ChainUnlink(ConObjGroup* group, ConObjPointSet* set);

// Recomputes the points of an existing set from its owner's boxes (no ground placement, no messages).
void WireRefreshPointSet(ConObjPointSet* set);

// Registers "EnableWireCut", "DisableWireCut", "WireCutEnabled" and "CutWire".
void WireRegisterScriptFunctions();
