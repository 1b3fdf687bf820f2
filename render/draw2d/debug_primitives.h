// Timed debug primitives: coloured 3D lines and filled triangles that any part of the engine drops
// into the world for a number of milliseconds. The game frame draws and ages them after the world.
#pragma once
#include "core/types.h"

struct D3DXMATRIX;

struct DebugLine {
    DebugLine* next;
    Vector3 start, end;
    u32_t startColour, endColour;  // ARGB
    u32_t expiry;                  // ms after the start tick from which the next draw removes it
    bool permanent;                // stays until the lists are freed
};

struct DebugFace {
    DebugFace* next;
    Vector3 corners[3];
    u32_t colours[3];
    u32_t expiry;
    bool permanent;
};

// Records in use (newest first) and released records kept for reuse.
template <class Record>
struct DebugRecordLists {
    Record* active = nullptr;
    Record* spare = nullptr;
    u32_t count = 0;  // records in the active list
};

// The timed debug primitives' record. RenderInit empties the lines and restarts the clock
// (DebugListsReset), RenderShutdown frees the lines; faces live until the program ends.
struct DebugPrimitives {
    DebugRecordLists<DebugLine> lines;
    DebugRecordLists<DebugFace> faces;
    // GetTickCount at the last DebugListsReset; every expiry counts from it.
    u32_t startTick = 0;
};

extern DebugPrimitives g_debugPrimitives;

// A line is added only while no more than this many are alive.
constexpr u32_t kDebugLineLimit = 100000;

// Duration 0: the primitive stays until the lists are freed; otherwise it is drawn at least once
// and removed by the first draw at least durationMs after it was added.
void DebugLineAdd(const Vector3* start, const Vector3* end, u32_t startColour, u32_t endColour, u32_t durationMs);
void DebugFaceAdd(const Vector3* p0, const Vector3* p1, const Vector3* p2, u32_t colour, u32_t durationMs);

// Shapes made of lines, one colour for both ends of each line.
// The triangle's edges p0-p1, p1-p2, p2-p0.
void DebugTriangleAdd(const Vector3* p0, const Vector3* p1, const Vector3* p2, u32_t colour, u32_t durationMs);
// The 12 edges of the axis-aligned box.
void DebugBoxAdd(const Vector3* boxMin, const Vector3* boxMax, u32_t colour, u32_t durationMs);
// The 12 edges of the box corners[0] (minimum) to corners[1] (maximum), each end transformed by the matrix.
void DebugBoxAddTransformed(const Vector3* corners, const D3DXMATRIX* matrix, u32_t colour, u32_t durationMs);
// Three lines of length 10 through the point, along x, y and z.
void DebugCrossAdd(const Vector3* point, u32_t colour, u32_t durationMs);
// A horizontal circle of 10 segments.
void DebugCircleAdd(const Vector3* centre, float radius, u32_t colour, u32_t durationMs);

// Draw every active record and remove the expired ones. Lines are drawn without depth test, faces
// with it; neither writes depth.
void DebugLinesDraw();
void DebugFacesDraw();
// Frees every line and records the start tick.
void DebugListsReset();
// Frees every line record, active and spare.
void DebugListsFree();
