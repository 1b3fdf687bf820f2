#include "scene/hud_overlays.h"

namespace {
HudOverlayRequests g_requests = {};
}  // namespace

void HudDrawWorldMarkers()
{
    ++g_requests.worldMarkers;
}

void HudDrawTeskCam(s32_t x, s32_t y, s32_t width, s32_t height)
{
    ++g_requests.insetViews;
    g_requests.insetRect[0] = x;
    g_requests.insetRect[1] = y;
    g_requests.insetRect[2] = width;
    g_requests.insetRect[3] = height;
}

void HudDrawItfList()
{
    ++g_requests.itfLists;
}

const HudOverlayRequests& HudOverlayRequestsSoFar()
{
    return g_requests;
}

void HudOverlayRequestsClear()
{
    g_requests = {};
}
