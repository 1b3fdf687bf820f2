#include "ai/envelopes/envelope_markers.h"

#include <cstring>

#include "ai/soldier/ai_state.h"
#include "core/console/console_var.h"
#include "core/strings/text_case.h"

bool EnvelopeMarkerAdd(const char* name, float x, float z, u32_t word)
{
    if (g_ai.markerCount >= ENVELOPE_MARKER_SLOTS)
        return false;
    EnvelopeMarker* marker = new EnvelopeMarker();
    marker->name.Assign(name ? name : "");
    marker->word = word;
    marker->x = x;
    marker->z = z;
    g_ai.markers[g_ai.markerCount++] = marker;
    return true;
}

bool EnvelopeMarkerAddDefault()
{
    const ConsoleVar* playerName = FindCVar("as_playername");
    return EnvelopeMarkerAdd(playerName ? playerName->String() : "", 0.0f, 0.0f, ENVELOPE_DEFAULT_MARKER_WORD);
}

u32_t EnvelopeMarkerCount()
{
    return g_ai.markerCount;
}

EnvelopeMarker* EnvelopeMarkerGet(u32_t index)
{
    return index < g_ai.markerCount ? g_ai.markers[index] : nullptr;
}

EnvelopeMarker* EnvelopeMarkerFind(const char* name)
{
    if (!name)
        return nullptr;
    const size_t length = std::strlen(name);
    for (u32_t i = 0; i < g_ai.markerCount; ++i) {
        EnvelopeMarker* marker = g_ai.markers[i];
        if (marker->name.Length() == length && CompareNoCase(marker->name.Text(), name) == 0)
            return marker;
    }
    return nullptr;
}

void EnvelopeMarkersFree()
{
    for (u32_t i = 0; i < g_ai.markerCount; ++i) {
        delete g_ai.markers[i];
        g_ai.markers[i] = nullptr;
    }
    g_ai.markerCount = 0;
}
