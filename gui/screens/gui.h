// The front end: screens, the GUI frame and the flags the main loop shares with it.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_in_game.h"
#include "platform/win32.h"

class Font;
class GuiControl;
class GuiRect;
class GuiPoly;
class GuiText;
class GuiToolTip;
class SoundInstance;
struct GuiLine;

constexpr s16_t GUI_LAYER_COUNT = 20;
constexpr u32_t GUI_SUBSCREEN_NAME_SIZE = 64;
constexpr s16_t GUI_HISTORY_SIZE = 20;

// A growing array of owned item pointers: capacity 4 at the first addition, then doubling.
template <typename Item>
struct GuiItemArray {
    Item** items = nullptr;
    u32_t count = 0;
    u32_t capacity = 0;

    // The new count; a null item is ignored (0). The assertion text names the array.
    u32_t Add(Item* item, const char* invariant);
    Item* operator[](u32_t index) const { return items[index]; }
};

// One page of the front end: controls, drawn items (lines, rectangles, texts, outlines) in 20
// layers, one message box, an optional chained subscreen drawn over it, and a looping sound.
class GuiScreen {
public:
    explicit GuiScreen(const char* screenName) : name(screenName) {}
    // Deletes the controls, the drawn items and the message box; not the subscreen or the sound.
    virtual ~GuiScreen();
    GuiScreen(const GuiScreen&) = delete;
    GuiScreen& operator=(const GuiScreen&) = delete;

    // Each takes the item over and answers the new count; a null item is ignored (0).
    virtual u32_t AddControl(GuiControl* control);
    virtual u32_t AddLine(GuiLine* line);
    virtual u32_t AddRect(GuiRect* rect);
    virtual u32_t AddText(GuiText* text);
    virtual u32_t AddPoly(GuiPoly* poly);
    // Replaces the text of the text item at index (adding order); out of range does nothing.
    virtual void SetTextString(u32_t index, const char* text);
    // Entering the screen (previous: the screen current before, or itself at a start or refresh):
    // OnActivate to the controls then the texts, the subscreen looked up again by name and entered,
    // the message box cleared unless a message was written for this entry, the sound started.
    virtual void Activate(GuiScreen* previous);
    // Layers 0 to 19, each: controls, lines, rectangles, texts, outlines in adding order; then the
    // subscreen whole; the message box last. The four arguments (offset x, offset y, scale x, scale
    // y) go to every item; callers pass 0, 0, 1, 1. Nothing while gb_showgui is false.
    virtual void Draw(float drawLeft, float drawTop, float drawWidth, float drawHeight);
    // A non-null screen becomes the subscreen (its name kept) and is entered with the old one.
    void SetSubscreen(GuiScreen* screen);
    // OnDeInit to every control and the message box's typing sound stopped, down the subscreen chain.
    void DeInit();
    // Stops the screen's own sound.
    void StopSounds();
    // The first control of that name (without regard to case), or null.
    GuiControl* FindControl(const char* controlName) const;
    // Takes the box over (a second one replaces the first).
    void SetMessageBox(GuiToolTip* box);
    GuiToolTip* GetToolTip() const { return m_messageBox; }
    u32_t ControlCount() const { return m_controls.count; }
    GuiControl* Control(u32_t index) const { return index < m_controls.count ? m_controls[index] : nullptr; }
    GuiText* Text(u32_t index) const { return index < m_texts.count ? m_texts[index] : nullptr; }
    u32_t ControlCapacity() const { return m_controls.capacity; }

    EngineString name;
    GuiScreen* subscreen = nullptr;  // not owned
    GuiFixedText<GUI_SUBSCREEN_NAME_SIZE> subscreenName;
    float subscreenRect[4] = {};
    bool isDialog = false;
    // The screen's "coord" rectangle as fractions of the screen: left and width of its width, top
    // and height of its height. The HUD places the inset view and the message and timer lists by it.
    float top = 0.0f;
    float left = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    // Set by GuiWriteMsg given this screen: its next entry keeps the message.
    bool messageWritten = false;
    SoundInstance* sound = nullptr;  // not owned

private:
    GuiItemArray<GuiControl> m_controls;
    GuiToolTip* m_messageBox = nullptr;
    GuiItemArray<GuiLine> m_lines;
    GuiItemArray<GuiRect> m_rects;
    GuiItemArray<GuiText> m_texts;
    GuiItemArray<GuiPoly> m_polys;
};

// The front end's state record: the screen shown and the flags the main loop shares with it, what
// the in-game HUD reads (gui/screens/gui_in_game.h). GuiShutdown starts it afresh, with the screen flags and the
// default font it sets below, but for what a rebuild keeps (the history depth, the rebuild count).
struct GuiState {
    GuiScreen* currentScreen = nullptr;
    bool screenRequested = false;  // set by game code that wants a screen
    s16_t multiplayerCounter = 0;
    // The pending exit action of a button (gui/screens/gui_live_values.h), 0 for none.
    s32_t exitAction = 0;
    // The last GUI frame's length in seconds (at most 0.1): the message boxes fade by it.
    float frameTime = 0.0f;
    // Seconds since GuiInit; controls animate by it.
    float time = 0.0f;
    u32_t startTick = 0;

    // The screen current before the last switch a control made; handed to the new screen's entry.
    GuiScreen* previousScreen = nullptr;
    // The screens left by successive switches, the newest at depth - 1.
    GuiScreen* history[GUI_HISTORY_SIZE] = {};
    s16_t historyDepth = 0;
    // Filled from the section "ERROR" when there is one; unknown names find it.
    GuiScreen* errorScreen = nullptr;
    // How many of the loaded screens are menu screens; the in-game screens follow them.
    u32_t menuScreenCount = 0;
    // Set once the in-game screens were loaded for the first time; never cleared.
    bool gameScreensLoaded = false;

    HWND window = nullptr;
    s32_t width = 0;
    s32_t height = 0;

    // Pointer and keyboard routing between frames.
    bool leftHeld = false;
    bool rightHeld = false;
    s16_t previousX = 0;
    s16_t previousY = 0;
    // The last hit lay in the current screen's subscreen: a switch replaces the subscreen.
    bool hitInSubscreen = false;
    // Set by gui_refresh: the click that caused it does nothing more.
    bool refreshed = false;

    // The frame-rate counter shown with rbdrawfps.
    u32_t fpsFrames = 0;
    u32_t fpsShown = 0;
    float fpsNextUpdate = 0.0f;

    // Whether a screen is open and whether the GUI draws an in-game screen are the frame view's screen
    // flags (core/frame_view.h); the default font is the HUD's (render/draw2d/hud_input.h).

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
    // The subtitle layer's lines, oldest first, until its list control draws them.
    EngineString subtitleLines[GUI_SUBTITLE_LINES];
    u32_t subtitleLineCount = 0;
    // The caption voice last played.
    EngineString captionSound;

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
// One GUI frame (the cursor in client pixels, the last window message); true while the GUI stays
// open. Exit actions write the state word: 1 quit, 2 main menu, 4 campaign list, 5 quick missions.
bool GuiFrame(int cursorX, int cursorY, UINT message, LPARAM lParam, WPARAM wParam, s32_t* stateWord);
// The first loaded screen of that name (without regard to case), else the error screen, else null;
// a miss says which on the debugger output.
GuiScreen* GuiFindScreen(const char* name);
// Adds a loaded screen; the GUI owns it and deletes it at GuiShutdown.
void GuiAddScreen(GuiScreen* screen);
u32_t GuiScreenCount();
// The loaded screen at index (loading order), else null.
GuiScreen* GuiScreenAt(u32_t index);
// The first loaded screen of that name (without regard to case); null when none is loaded (no error
// screen in its place, no debugger line).
GuiScreen* GuiFindLoadedScreen(const char* name);
// Deletes the loaded screens from index on (all, and the error screen, for index 0).
void GuiFreeScreensFrom(u32_t index);
void GuiFreeScreens();
// Calls visit for every loaded screen in loading order.
void GuiForEachScreen(void (*visit)(GuiScreen* screen, void* context), void* context);
