// Full-screen playback: the frame shown is chosen by the time since the start, so the video ends
// on time whatever the drawing speed; Escape or the left mouse button skips it.
#include <cstring>

#include "core/input/input.h"
#include "core/log.h"
#include "core/sound/sound_sets.h"
#include "core/video/video.h"
#include "render/device/frame.h"
#include "render/draw2d/primitives_2d.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"

namespace {

constexpr DWORD kFullscreenPassSleepMs = 50;
constexpr int kMouseButtonCount = 3;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

// Clears the keyboard and the mouse buttons, so that a key held before the video does not end it
// and the key that ends it does not reach the game.
void ClearKeysAndButtons()
{
    ClearKeyStates();
    std::memset(g_input.mouseStates, 0, kMouseButtonCount);
}

bool SkipRequested()
{
    return g_input.keyStates[KEY_ESCAPE] != 0 || g_input.mouseStates[0] != 0;
}

void SetVideoStates()
{
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFF00FFu);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
}

void (*g_fullscreenHook)(const char* name) = nullptr;

}  // namespace

void VideoSetFullscreenHook(void (*hook)(const char* name))
{
    g_fullscreenHook = hook;
}

void VideoPlayFullscreen(const char* name)
{
    if (g_fullscreenHook) {
        g_fullscreenHook(name);
        return;
    }
    VideoPlayer* player = VideoOpenGui(name);
    if (!player)
        return;
    // Always the GUI sound "intro", whatever the video.
    SoundInstance* sound = SoundLoad(nullptr, "intro", SOUND_MODE_GUI);
    if (sound)
        sound->Play(false, false);

    const DWORD start = GetTickCount();
    SetCursorVisible(false);
    ClearKeysAndButtons();
    while (!SkipRequested()) {
        InputUpdate();
        const DWORD elapsed = GetTickCount() - start;
        if (static_cast<float>(player->frameCount) <=
            static_cast<float>(elapsed) / static_cast<float>(player->msPerFrame))
            break;
        // The frame is drawn and presented whatever frame begin says.
        RenderBeginFrame();
        RenderSetTexture(0, player->DrawFrame(static_cast<s32_t>(elapsed / player->msPerFrame)));
        SetVideoStates();
        // The DIB's rows lie bottom-up: v runs from the frame's extent at the top to 0 at the bottom.
        Draw2DQuadEx(0, riwidth.Int(), 0, riheight.Int(), kWhite, kWhite, kWhite, kWhite, 0.0f, player->vExtent,
                     player->uExtent, 0.0f);
        RenderEndFrame(true);
        Sleep(kFullscreenPassSleepMs);
    }
    if (sound)
        sound->Stop();
    SetCursorVisible(true);
    ClearKeysAndButtons();
}
