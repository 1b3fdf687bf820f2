// The front end: screens, the GUI frame and the flags the main loop shares with it.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "platform/win32.h"

class GuiScreen {
public:
    explicit GuiScreen(const char* screenName) : name(screenName) {}
    virtual ~GuiScreen() = default;
    // Makes the screen the shown one.
    virtual void Activate(GuiScreen* screen);
    // Sends OnDeInit to every control and stops the screens' message sounds.
    void DeInit();
    void StopSounds();

    EngineString name;
    float left = 0.0f;  // horizontal position, a fraction of the screen width
};

extern GuiScreen* g_guiCurrentScreen;
extern bool g_guiScreenOpen;       // cleared by the GUI when the screen closes
extern bool g_guiScreenRequested;  // set by game code that wants a screen
extern s16_t g_guiMultiplayerCounter;

bool GuiInit(HWND window, int width, int height);
void GuiShutdown();
// One GUI frame; true while the current screen stays up. May write the state word.
bool GuiFrame(int cursorX, int cursorY, UINT message, LPARAM lParam, WPARAM wParam, s32_t* stateWord);
// The loaded screen of that name (without regard to case), else null.
GuiScreen* GuiFindScreen(const char* name);
