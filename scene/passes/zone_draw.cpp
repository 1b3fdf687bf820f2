#include "scene/passes/zone_draw.h"

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/zone_envelope.h"
#include "map/terrain/terrain_height.h"
#include "render/draw2d/debug_primitives.h"

namespace {

Vector3 OnTerrain(const ZoneVertex& corner)
{
    return {corner.x, MapTerrainHeight(corner.x, corner.z, nullptr, nullptr) + ZONE_DRAW_LIFT, corner.z};
}

void DrawOutline(const ZoneEnvelope& zone, int outline, u32_t colour)
{
    const s32_t* indices = zone.Outline(outline);
    const u32_t count = zone.OutlineCount(outline);
    if (!indices || count < 2)
        return;
    const ZoneVertex* vertices = zone.GetVertices();
    const u32_t vertexCount = zone.VertexCount();
    for (u32_t i = 0; i < count; ++i) {
        const s32_t a = indices[i], b = indices[(i + 1) % count];
        // Indices come from the zone's own build; one out of range is skipped, never read.
        if (a < 0 || b < 0 || static_cast<u32_t>(a) >= vertexCount || static_cast<u32_t>(b) >= vertexCount)
            continue;
        const Vector3 start = OnTerrain(vertices[a]), end = OnTerrain(vertices[b]);
        DebugLineAdd(&start, &end, colour, colour, ZONE_DRAW_DURATION_MS);
    }
}

}  // namespace

void RenderDrawZones()
{
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope || envelope->kind != ENVELOPE_KIND_ZONE)
            continue;
        const auto* zone = static_cast<const ZoneEnvelope*>(envelope);
        DrawOutline(*zone, ZONE_OUTLINE_INNER, ZONE_DRAW_POLYGON_COLOUR);
        if (zone->outerDiffers)
            DrawOutline(*zone, ZONE_OUTLINE_OUTER, ZONE_DRAW_HULL_COLOUR);
    }
}
