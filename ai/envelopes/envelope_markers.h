// The mission's map markers: named places from the "oz" lines of "mission.env", each with a word the
// map icon list shows and two floats (a place on the ground), plus one default record at the end of
// the file whose floats the player control keeps at the player's x and z.
#pragma once
#include "ai/soldier/ai_state.h"
#include "core/strings/engine_string.h"
#include "core/types.h"

// The word of the default record.
constexpr u32_t ENVELOPE_DEFAULT_MARKER_WORD = 0xFF80FF80u;

struct EnvelopeMarker {
    EngineString name;
    u32_t word = 0;
    float x = 0.0f;
    float z = 0.0f;
};

// Appends a record (its name copied); false, adding nothing, when the table is full.
bool EnvelopeMarkerAdd(const char* name, float x, float z, u32_t word);
// Appends the default record: the player's name (the console variable "as_playername"; empty while
// there is none), the default word and the floats 0, 0. False when the table is full.
bool EnvelopeMarkerAddDefault();
u32_t EnvelopeMarkerCount();
// The record at the position; null at or past the count.
EnvelopeMarker* EnvelopeMarkerGet(u32_t index);
// The first record whose name has the same length and equals the text without regard to case.
EnvelopeMarker* EnvelopeMarkerFind(const char* name);
// Deletes every record; the count becomes 0.
void EnvelopeMarkersFree();
