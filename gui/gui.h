// The front end: screens, the GUI frame and the flags the main loop shares with it.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "gui/gui_in_game.h"
#include "platform/win32.h"

class Font;
class GuiControl;

class GuiScreen {
public:
    explicit GuiScreen(const char* screenName) : name(screenName) {}
    // Deletes the screen's controls.
    virtual ~GuiScreen();
    GuiScreen(const GuiScreen&) = delete;
    GuiScreen& operator=(const GuiScreen&) = delete;
    // Makes the screen the shown one.
    virtual void Activate(GuiScreen* screen);
    // Draws the controls layer by layer into the rectangle (fractions of the screen); the HUD
    // passes 0, 0, 1, 1. Screens hold no drawn controls yet.
    virtual void Draw(float drawLeft, float drawTop, float drawWidth, float drawHeight);
    // Sends OnDeInit to every control and stops the screens' message sounds.
    void DeInit();
    void StopSounds();
    // The screen takes the control over.
    void AddControl(GuiControl* control);
    // The control of that name (without regard to case), or null.
    GuiControl* FindControl(const char* controlName) const;

    EngineString name;
    // The screen's rectangle as fractions of the screen: top and height of its height, left and
    // width of its width.
    float top = 0.0f;
    float left = 0.0f;
    float width = 1.0f;
    float height = 1.0f;

private:
    GuiControl** m_controls = nullptr;
    u32_t m_controlCount = 0;
};

// The front end's state record: the screen shown and the flags the main loop shares with it, what
// the in-game HUD reads (gui/gui_in_game.h). GuiShutdown starts it afresh, with the screen flags and the
// default font it sets below.
struct GuiState {
    GuiScreen* currentScreen = nullptr;
    bool screenRequested = false;  // set by game code that wants a screen
    s16_t multiplayerCounter = 0;

    // Whether a screen is open and whether the GUI draws an in-game screen are the frame view's screen
    // flags (core/frame_view.h); the default font is the HUD's (render/hud_input.h).

    // The four timed message slots that the GUI's message functions fill.
    GuiMessageSlot subtitleSlot = {};  // layer "LAYER10", control "subtitles"
    GuiMessageSlot captionSlot = {};   // layer "layer11", control "missionmsg"
    GuiMessageSlot recordSlot = {};    // layer "layer12", control "accomplishmsg"
    GuiMessageSlot responseSlot = {};  // layer "layer13", control "response"
    // What the game frame shows late: the map-name caption, due from the mission start and shown
    // 5 s after the main loop stamps its start, and a record a script armed, shown 5 s after arming.
    u32_t captionStamp = 0;
    u8_t captionDue = 0;
    u32_t recordStamp = 0;
    u8_t recordDue = 0;
    u32_t recordDuration = 0;
    // The last radio subtitle's speaker and text key (GuiShowSubtitle), and how many were shown.
    EngineString subtitleSpeaker;
    EngineString subtitleKey;
    u32_t subtitleCount = 0;

    // Until screens show them: the last message key written, and how often the language switch
    // screen was shown and the GUI rebuilt; the resolution entry chosen (-1 none).
    EngineString lastMessageKey;
    u32_t messageCount = 0;
    u32_t languageSwitchCount = 0;
    u32_t refreshCount = 0;
    s32_t resolutionSelection = -1;
};

extern GuiState g_gui;

bool GuiInit(HWND window, int width, int height);
void GuiShutdown();
// One GUI frame; true while the current screen stays up. May write the state word.
bool GuiFrame(int cursorX, int cursorY, UINT message, LPARAM lParam, WPARAM wParam, s32_t* stateWord);
// The loaded screen of that name (without regard to case), else null.
GuiScreen* GuiFindScreen(const char* name);
// Adds a loaded screen; the GUI owns it and deletes it at GuiShutdown.
void GuiAddScreen(GuiScreen* screen);
