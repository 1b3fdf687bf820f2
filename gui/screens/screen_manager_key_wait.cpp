// The key picker's wait for one key or mouse button, drawing the current screen meanwhile.
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "platform/win32.h"
#include "render/device/frame.h"

namespace {

constexpr u8_t kNoKey = 0;

struct KeyFound {
    bool found = false;
    bool mouse = false;
    u8_t index = 0;  // key code, or mouse state index
};

KeyFound FirstDown()
{
    KeyFound result;
    for (int code = 0; code < 256; ++code) {
        if (g_input.keyStates[code] == INPUT_STATE_DOWN) {
            result.found = true;
            result.index = static_cast<u8_t>(code);
            return result;
        }
    }
    for (int state = 0; state < MOUSE_STATE_COUNT; ++state) {
        if (g_input.mouseStates[state] == INPUT_STATE_DOWN) {
            result.found = true;
            result.mouse = true;
            result.index = static_cast<u8_t>(state);
            return result;
        }
    }
    return result;
}

// Without input devices keys arrive only as window messages: dispatched here, they reach the key
// states (else the wait would never see one).
void DispatchMessagesForInput()
{
    if (InputUsesDirectInput())
        return;
    MSG message;
    while (PeekMessageA(&message, g_gui.window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void DrawCurrentScreen()
{
    GuiSet2DStates();
    if (g_gui.currentScreen)
        g_gui.currentScreen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
}

// The world goes on behind the GUI when it is open over a mission.
void RunGameFrameBehind(float yaw, float pitch)
{
    if (!g_frameView.screenOpen)
        return;
    g_frameView.yaw = yaw;
    g_frameView.pitch = pitch;
    GameUpdateFrame(false);
}

}  // namespace

u8_t GuiWaitForKey()
{
    RenderEndFrame(true);
    const float yaw = g_frameView.yaw;
    const float pitch = g_frameView.pitch;
    KeyFound key;
    // Escape already down: no key (the picker's cancel), found as key 0.
    if (g_input.keyStates[KEY_ESCAPE] == INPUT_STATE_DOWN)
        key.found = true;
    while (!key.found) {
        g_input.guiMode = false;
        DispatchMessagesForInput();
        InputUpdate();
        g_input.guiMode = true;
        key = FirstDown();
        if (key.found)
            break;
        GuiAdvanceClock();
        RunGameFrameBehind(yaw, pitch);
        if (RenderBeginFrame() != 0)
            return kNoKey;
        DrawCurrentScreen();
        RenderEndFrame(true);
    }
    RunGameFrameBehind(yaw, pitch);
    if (RenderBeginFrame() != 0)
        return kNoKey;
    DrawCurrentScreen();
    // What the window queued meanwhile (the key's own messages among them) is not handed on later.
    MSG message;
    while (PeekMessageA(&message, g_gui.window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (key.mouse) {
        g_input.mouseStates[key.index] = 0;
        return static_cast<u8_t>(KEY_MOUSE0 + key.index);
    }
    g_input.keyStates[key.index] = 0;
    return key.index;
}
