// The renderer of mesh draw records (kind 0): a translucent mesh of a graphic object, queued while
// the object was drawn and replayed back to front by the first draw-record replay. The record
// carries everything the draw needs (animation, mesh, fractional frame, texture, level-of-detail
// records, fade and the mesh's decals), so the object need not exist any more.
#pragma once
#include "core/types.h"

struct DrawRecord;

// The two frames a record's fractional frame is blended between: frame i weighs w, frame i + 1
// weighs f. Frames wrap by the frame count - 1; a one-frame mesh draws frame 0 twice. False for a
// mesh without frames.
struct MeshRecordFrames {
    u32_t first = 0;
    u32_t second = 0;
    float f = 0.0f;  // weight of the second frame
    float w = 1.0f;  // weight of the first
};
bool MeshRecordFramesOf(u32_t frameCount, float frame, MeshRecordFrames* out);

// Draws one kind-0 record with the first replay's states in force. Flushes the plant batch first.
void MeshRecordDraw(DrawRecord* record);
