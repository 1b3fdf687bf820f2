// GUI controls as plug-ins create and find them, and the screen message line they write to.
#pragma once
#include "core/engine_string.h"

class GuiScreen;

class GuiControl {
public:
    explicit GuiControl(const char* typeName) : type(typeName) {}
    virtual ~GuiControl() = default;
    // Reads the control's data again (a picture its texture).
    virtual void RefreshData() {}
    GuiControl(const GuiControl&) = delete;
    GuiControl& operator=(const GuiControl&) = delete;

    EngineString type;  // "textbox", "listbox"
    EngineString name;
};

// A new control of the type ("textbox" or "listbox", without regard to case); null for others.
GuiControl* GuiCreateControl(const char* typeName);
// The control of the current screen with that name (without regard to case), or null.
GuiControl* GuiFindItem(const char* name);
// Shows the localized text of the key in the screen's message control (the current screen when
// null) and marks the screen.
void GuiWriteMsg(const char* textKey, GuiScreen* screen);
// Shows the screen "SWITCHLANGUAGE" for one whole frame while the language changes.
void GuiShowLanguageSwitch();
// Rebuilds the GUI's screens (the command gui_refresh).
void GuiRefresh();
// Selects the entry of the control "resolution" of the screen "OPTIONS_GRAPHICS_RESOLUTION".
void GuiSelectResolution(s32_t entry);
