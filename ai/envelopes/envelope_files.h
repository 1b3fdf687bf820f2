// The two mission files that make a mission's envelopes: "mission.env" creates the envelopes, their
// map markers and parents, and "mission.zns" fills the zones' object lists.
#pragma once
#include "core/types.h"

// Reads folder + "\mission.env": each "create" line makes an envelope in the next free slot of the
// envelope table, each "oz" line a marker record; then the default marker record is appended, the
// parents are resolved, and the player's actor (and, with "gbteskenable", the Tesk team's actor)
// gets an envelope of its own outside the table. A line that lacks a value its kind reads, a zone of
// fewer than 3 vertices, and an envelope or marker beyond its table's capacity are reported on
// console 0 and skipped. False, leaving everything as it was, when the file cannot be read.
bool EnvelopeLoadMission(const char* folder);
// Reads folder + "\mission.zns": a "zone" line makes the object list of the named envelope and makes
// it the current one; an "obj" line appends the named world object to the current list while it has
// room. 1 when the file was read and had a line, else 0.
s32_t ZoneLoadMission(const char* folder);
// The start of a solo campaign takes the mission's friendly soldiers out before the envelopes are read
// (the game's mission load): it names each here, and an envelope line for one of them is dropped
// without the missing-object error. Cleared by EnvelopeForgetRemovedObjects at each mission load.
void EnvelopeNoteObjectRemovedByStart(const char* name);
bool EnvelopeObjectRemovedByStart(const char* name);
void EnvelopeForgetRemovedObjects();
