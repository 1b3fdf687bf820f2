// The screen manager: which loaded screen is current, the history that "back" returns through, one
// GUI frame (clock, drawing, pointer and keyboard routing to the current screen's controls) and the
// exit actions that end it. The GUI's record is g_gui (gui/screens/gui.h).
#pragma once
#include "core/types.h"
#include "platform/win32.h"

class GuiControl;
class GuiScreen;
// Markup texts read by key (gui/texts/def_script.h).
void DefScriptsInit();
void DefScriptsFree();
// The text under the key of the definition file at path, or null.
const char* DefScriptGetText(const char* path, const char* key);

// The screens of "gui": the error screen from its section "ERROR", then one screen per top-level
// section in order.
void GuiLoadScreens();
// Why the loaded screens hold no main menu (logged, and drawn in the window in its place); empty
// when they hold one.
const char* GuiMenuError();
// The in-game screens of "guigame", after the menu screens; sets the HUD's markers-ready flag.
void GuiLoadGameScreens();
// Frees the in-game screens and clears the markers-ready flag.
void GuiFreeGameScreens();
void GuiSetScreenSize(s32_t width, s32_t height);

// The control of the screen under the point (client pixels): the highest z-index from 1 to 19
// wins, the earlier on ties; z-index 0, negative or 20 and above never hits. The subscreen's
// controls follow the screen's own; g_gui.hitInSubscreen tells where the hit lay. Null screen: null.
GuiControl* GuiControlAtPoint(GuiScreen* screen, s32_t x, s32_t y);
GuiControl* GuiCurrentControlAtPoint(s32_t x, s32_t y);

// A control opens the screen of that name: the current screen goes onto the history (the oldest
// entry drops when it holds 20), becomes the previous screen, and the target, when found, becomes
// current and is entered. A control in the subscreen replaces the subscreen instead, pushing nothing.
void GuiOpenScreen(const char* target);
// The exit action "PREVIOUS": the click that chose it pushed the screen it left; the one below
// that becomes current and is entered. With fewer than two entries the screen left stays current.
void GuiReturnToPrevious();
// The history holds the one screen given.
void GuiHistoryReset(GuiScreen* bottom);

// The GUI clock: g_gui.time, seconds since GuiInit, and g_gui.frameTime, the time since the last
// advance (at most 0.1 s).
void GuiAdvanceClock();
// The render states the GUI draws with: linear filters without mips, no culling, no depth, alpha
// blending, texture times diffuse.
void GuiSet2DStates();

// The input step of a GUI frame with the cursor in client pixels: characters, buttons, pointer,
// wheel, Escape and the networked keys, then the pending exit action. False closes the GUI.
bool GuiInputStep(s32_t x, s32_t y, UINT message, LPARAM lParam, WPARAM wParam, s32_t* stateWord);

// Waits for one key or mouse button (the key picker's wait), called inside a GUI frame: ends and shows
// that frame, then draws the current screen frame by frame (the mission going on behind it when the
// GUI is over one) until a key or button is down. Answers its key code (mouse states 240 to 244) and
// clears that state, leaving a frame begun with the screen drawn for the caller to end. Answers 0,
// meaning no key, when Escape is already down (a frame still left begun) or a frame cannot begin.
u8_t GuiWaitForKey();

// A control whose text can come from a form file (a text box): its source text "file.key" names
// the form, and it stores the form it was given.
class GuiFormTextTarget {
public:
    virtual ~GuiFormTextTarget() = default;
    virtual const char* FormSource() const = 0;
    // The form's file ("script\file.frm") and suffixed key; text: what the file holds under that
    // key, null when nothing (the control's text then stays as it is).
    virtual void SetForm(const char* path, const char* key, const char* text) = 0;
};
// Fills the named control of the named loaded screen from the form its text names, the key
// suffixed "_0", "_1" or "_2" by the campaign index (0, 2, others). A missing screen, control or
// dot in the text changes nothing.
void GuiSetItemForm(const char* screenName, const char* controlName);
