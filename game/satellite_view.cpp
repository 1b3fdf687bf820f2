#include "game/satellite_view.h"

#include <cmath>

#include "core/actions.h"
#include "core/frame_view.h"
#include "core/input.h"
#include "game/game_state.h"
#include "game/view_keys.h"
#include "platform/win32.h"
#include "render/hud_input.h"
#include "scene/render_services.h"

SatelliteViewState g_satelliteView;

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPanSpeedScale = 1000.0f;

bool Held(u8_t action)
{
    return g_input.actionDown[action] != 0;
}

bool Released(u8_t action)
{
    return g_input.actionReleased[action] != 0;
}

void ReadCursor(s32_t* width, s32_t* height)
{
    *width = 0;
    *height = 0;
    HWND window = g_input.window;
    if (!window)
        return;
    POINT point = {};
    RECT client = {};
    if (!GetCursorPos(&point) || !ScreenToClient(window, &point) || !GetClientRect(window, &client))
        return;
    g_game.cursorX = static_cast<float>(point.x);
    g_game.cursorY = static_cast<float>(point.y);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

void Leave()
{
    ToggleSatelliteView();
    ShadowsUpdateDynamic();
    if (!g_hudInput.flags.binocularView)
        g_hudInput.flags.quickMode = 0;
}

}  // namespace

void SatelliteZoomStep()
{
    SatelliteViewState& s = g_satelliteView;
    const bool in = Held(ACTION_ZOOMIN);
    const bool out = Held(ACTION_ZOOMOUT);
    if (!in && !out)
        return;
    if (in)
        s.zoomLevel = s.zoomLevel < 2 ? s.zoomLevel + 1 : 2;
    if (out)
        s.zoomLevel = s.zoomLevel > 0 ? s.zoomLevel - 1 : 0;
    g_game.satelliteFieldOfView = kSatelliteZoomFactors[s.zoomLevel] * kHalfPi;
    ShadowsUpdateDynamic();
}

void SatellitePanStep(s32_t width, s32_t height)
{
    SatelliteViewState& s = g_satelliteView;
    if (s.dragging || Held(ACTION_ZOOM))
        return;
    const float step = s.panSpeed * g_frameView.frameTime;
    const s32_t x = static_cast<s32_t>(g_game.cursorX);
    const s32_t y = static_cast<s32_t>(g_game.cursorY);
    if (x == width - 1 || Held(ACTION_STRAFE_RIGHT))
        s.centreX = std::fmin(s.centreX + step, s.maxX);
    if (x == 0 || Held(ACTION_STRAFE_LEFT))
        s.centreX = std::fmax(s.centreX - step, s.minX);
    if (y == 0 || Held(ACTION_MOVE_FORWARD))
        s.centreZ = std::fmin(s.centreZ + step, s.maxZ);
    if (y == height - 1 || Held(ACTION_MOVE_BACKWARD))
        s.centreZ = std::fmax(s.centreZ - step, s.minZ);
}

void SatelliteViewUpdate()
{
    SatelliteViewState& s = g_satelliteView;
    if (!s.panSpeedSet) {
        s.panSpeed = kSatelliteZoomFactors[s.zoomLevel] * kPanSpeedScale;
        s.panSpeedSet = 1;
    }
    g_hudInput.flags.quickMode = 1;
    s32_t width = 0, height = 0;
    ReadCursor(&width, &height);
    if (Released(ACTION_SATCAM) && !g_hudInput.flags.commandMenuOpen)
        Leave();
    if (!g_hudInput.flags.commandMenuOpen)
        SatelliteZoomStep();
    HudAddFriendlyPreviews();
    SatellitePanStep(width, height);
    ObjectivesKeyUpdate();
}
