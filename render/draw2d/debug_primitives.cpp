#include "render/draw2d/debug_primitives.h"

#include <cmath>
#include <cstdint>

#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"

DebugPrimitives g_debugPrimitives;

namespace {

// Vertices per locked block: whole lines and whole triangles.
constexpr u32_t kDebugBatchVertices = 6144;
constexpr float kCrossHalfLength = 5.0f;
constexpr int kCircleSegments = 10;

struct DebugVertexRecord {
    float x, y, z;
    D3DCOLOR colour;
};

template <class Record>
Record* TakeRecord(DebugRecordLists<Record>& lists)
{
    Record* record = lists.spare;
    if (record)
        lists.spare = record->next;
    else
        record = new Record;
    ++lists.count;
    return record;
}

template <class Record>
void SetExpiry(Record* record, u32_t durationMs)
{
    record->permanent = durationMs == 0;
    // The last millisecond of the duration; far durations stop at the largest tick difference.
    const std::uint64_t elapsed = GetTickCount() - g_debugPrimitives.startTick;
    const std::uint64_t expiry = elapsed + durationMs - (durationMs ? 1 : 0);
    record->expiry = expiry > UINT32_MAX ? UINT32_MAX : static_cast<u32_t>(expiry);
}

template <class Record>
void PushActive(DebugRecordLists<Record>& lists, Record* record)
{
    record->next = lists.active;
    lists.active = record;
}

template <class Record>
void FreeChain(Record*& head)
{
    while (head) {
        Record* next = head->next;
        delete head;
        head = next;
    }
}

template <class Record>
void FreeAll(DebugRecordLists<Record>& lists)
{
    FreeChain(lists.active);
    FreeChain(lists.spare);
    lists.count = 0;
}

// Faces live until the program ends; lines are freed by the render shutdown as well.
struct DebugListsAtExit {
    ~DebugListsAtExit()
    {
        FreeAll(g_debugPrimitives.faces);
        FreeAll(g_debugPrimitives.lines);
    }
} g_debugListsAtExit;

void WriteVertex(const Vector3& p, u32_t colour)
{
    DebugVertexRecord* out = reinterpret_cast<DebugVertexRecord*>(g_dynBuffers.vertexOut);
    *out = {p.x, p.y, p.z, colour};
    g_dynBuffers.vertexOut += sizeof(DebugVertexRecord);
}

void EmitLine(const DebugLine& line)
{
    DynBatchReserve(2);
    WriteVertex(line.start, line.startColour);
    WriteVertex(line.end, line.endColour);
}

void EmitFace(const DebugFace& face)
{
    DynBatchReserve(3);
    for (int i = 0; i < 3; ++i)
        WriteVertex(face.corners[i], face.colours[i]);
}

bool CanDraw()
{
    return g_render.device && g_dynBuffers.lineVertices.buffer;
}

void SetDrawStates(bool depthTest)
{
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFFFFFFFFu);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFFFFFFFFu);
    RenderSetColorOp(1, D3DTOP_DISABLE, 0xFFFFFFFFu, 0xFFFFFFFFu);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, 0xFFFFFFFFu, 0xFFFFFFFFu);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, depthTest ? 1 : 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetTexture(0, nullptr);
    RenderSetTexture(1, nullptr);
}

// Emits every active record and moves the expired ones to the spare list; without a device the
// records still age.
template <class Record>
void DrawAndAge(DebugRecordLists<Record>& lists, D3DPRIMITIVETYPE type, bool depthTest, void (*emit)(const Record&))
{
    const bool drawing = CanDraw() && lists.active;
    if (drawing) {
        SetDrawStates(depthTest);
        DynBatchBegin(&g_dynBuffers.lineVertices, type, kDebugBatchVertices);
    }
    const u32_t now = GetTickCount() - g_debugPrimitives.startTick;
    Record** link = &lists.active;
    while (Record* record = *link) {
        if (drawing)
            emit(*record);
        if (!record->permanent && now >= record->expiry) {
            *link = record->next;
            record->next = lists.spare;
            lists.spare = record;
            --lists.count;
        } else {
            link = &record->next;
        }
    }
    if (drawing) {
        DynBatchEnd();
        RenderSetState(D3DRS_ZENABLE, 1);
    }
}

}  // namespace

void DebugLineAdd(const Vector3* start, const Vector3* end, u32_t startColour, u32_t endColour, u32_t durationMs)
{
    if (g_debugPrimitives.lines.count > kDebugLineLimit)
        return;
    DebugLine* line = TakeRecord(g_debugPrimitives.lines);
    line->start = *start;
    line->end = *end;
    line->startColour = startColour;
    line->endColour = endColour;
    SetExpiry(line, durationMs);
    PushActive(g_debugPrimitives.lines, line);
}

void DebugFaceAdd(const Vector3* p0, const Vector3* p1, const Vector3* p2, u32_t colour, u32_t durationMs)
{
    DebugFace* face = TakeRecord(g_debugPrimitives.faces);
    face->corners[0] = *p0;
    face->corners[1] = *p1;
    face->corners[2] = *p2;
    for (u32_t& c : face->colours)
        c = colour;
    SetExpiry(face, durationMs);
    PushActive(g_debugPrimitives.faces, face);
}

void DebugTriangleAdd(const Vector3* p0, const Vector3* p1, const Vector3* p2, u32_t colour, u32_t durationMs)
{
    DebugLineAdd(p0, p1, colour, colour, durationMs);
    DebugLineAdd(p1, p2, colour, colour, durationMs);
    DebugLineAdd(p2, p0, colour, colour, durationMs);
}

namespace {

// Box corners numbered by their (x, y, z) choice of minimum (0) or maximum (1): bit 0 x, bit 1 y, bit 2 z.
constexpr int kBoxEdges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {0, 4}, {4, 5},
                                  {5, 7}, {7, 6}, {6, 4}, {1, 5}, {2, 6}, {3, 7}};

void BoxCorners(const Vector3& boxMin, const Vector3& boxMax, Vector3 corners[8])
{
    for (int i = 0; i < 8; ++i)
        corners[i] = {(i & 1) ? boxMax.x : boxMin.x, (i & 2) ? boxMax.y : boxMin.y, (i & 4) ? boxMax.z : boxMin.z};
}

void AddBoxEdges(const Vector3 corners[8], u32_t colour, u32_t durationMs)
{
    for (const auto& edge : kBoxEdges)
        DebugLineAdd(&corners[edge[0]], &corners[edge[1]], colour, colour, durationMs);
}

}  // namespace

void DebugBoxAdd(const Vector3* boxMin, const Vector3* boxMax, u32_t colour, u32_t durationMs)
{
    Vector3 corners[8];
    BoxCorners(*boxMin, *boxMax, corners);
    AddBoxEdges(corners, colour, durationMs);
}

void DebugBoxAddTransformed(const Vector3* corners, const D3DXMATRIX* matrix, u32_t colour, u32_t durationMs)
{
    Vector3 boxCorners[8];
    BoxCorners(corners[0], corners[1], boxCorners);
    for (Vector3& corner : boxCorners) {
        D3DXVECTOR3 moved(corner.x, corner.y, corner.z);
        D3DXVec3TransformCoord(&moved, &moved, matrix);
        corner = {moved.x, moved.y, moved.z};
    }
    AddBoxEdges(boxCorners, colour, durationMs);
}

void DebugCrossAdd(const Vector3* point, u32_t colour, u32_t durationMs)
{
    const Vector3 p = *point;
    const float h = kCrossHalfLength;
    const Vector3 ends[3][2] = {{{p.x - h, p.y, p.z}, {p.x + h, p.y, p.z}},
                                {{p.x, p.y - h, p.z}, {p.x, p.y + h, p.z}},
                                {{p.x, p.y, p.z - h}, {p.x, p.y, p.z + h}}};
    for (const auto& line : ends)
        DebugLineAdd(&line[0], &line[1], colour, colour, durationMs);
}

void DebugCircleAdd(const Vector3* centre, float radius, u32_t colour, u32_t durationMs)
{
    const Vector3 c = *centre;
    const float step = 2.0f * D3DX_PI / float(kCircleSegments);
    auto pointAt = [&](int segment) {
        const float a = float(segment) * step;
        return Vector3{c.x + radius * std::sin(a), c.y, c.z + radius * std::cos(a)};
    };
    for (int segment = 0; segment < kCircleSegments; ++segment) {
        const Vector3 from = pointAt(segment), to = pointAt(segment + 1);
        DebugLineAdd(&from, &to, colour, colour, durationMs);
    }
}

void DebugLinesDraw()
{
    DrawAndAge(g_debugPrimitives.lines, D3DPT_LINELIST, false, EmitLine);
}

void DebugFacesDraw()
{
    DrawAndAge(g_debugPrimitives.faces, D3DPT_TRIANGLELIST, true, EmitFace);
}

void DebugListsFree()
{
    FreeAll(g_debugPrimitives.lines);
}

void DebugListsReset()
{
    // Records are freed rather than dropped, so a reset never leaks the lines it empties.
    DebugListsFree();
    g_debugPrimitives.startTick = GetTickCount();
}
