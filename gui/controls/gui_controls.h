// The base of every GUI control and drawn item of a screen, the lookups of controls by name, and the
// screen message line that plug-ins write to.
//
// GUI geometry: positions and sizes are fractions of the screen (x and widths of its width, y and
// heights of its height); a pixel coordinate is the product truncated toward zero.
#pragma once
#include "core/types.h"
#include "platform/win32.h"

class GuiScreen;

constexpr u32_t GUI_CONTROL_NAME_SIZE = 128;

// Copies text into a fixed field of room bytes, cut to room - 1 characters and always terminated;
// null copies as empty. Names and texts from scripts and plug-ins have no length of their own.
void GuiCopyBounded(char* out, u32_t room, const char* text);
// A box given in fractions of the screen (the scripts' "coord"), in pixels of the current screen size.
void GuiFractionRect(float x, float y, float width, float height, RECT* rect);
// The pointer is over a control: the current screen's message box is unlocked and shows the control's
// tooltip when it has one.
void GuiHoverTooltip(const char* tooltip);

// A fixed text field of Size bytes: what does not fit is cut.
template <u32_t Size>
class GuiFixedText {
public:
    void Assign(const char* text) { GuiCopyBounded(m_chars, Size, text); }
    const char* Text() const { return m_chars; }
    bool IsEmpty() const { return m_chars[0] == '\0'; }

private:
    char m_chars[Size] = {};
};

// Pointer buttons as OnMouse reports them.
constexpr u32_t GUI_MOUSE_NONE = 0xFF;
constexpr u32_t GUI_MOUSE_LEFT = 0;
constexpr u32_t GUI_MOUSE_RIGHT = 1;

class GuiControl {
public:
    GuiControl() = default;
    virtual ~GuiControl() = default;
    GuiControl(const GuiControl&) = delete;
    GuiControl& operator=(const GuiControl&) = delete;

    // The screen hands its four draw arguments through; a control places its pixel box at
    // offset x screen size + fraction x screen size x scale.
    virtual void Draw(float offsetX, float offsetY, float scaleX, float scaleY);
    // Pointer positions in pixels.
    virtual void OnRightClick(s32_t x, s32_t y);
    virtual void OnClick(s32_t x, s32_t y);
    // Every GUI frame for the control under the pointer; buttons GUI_MOUSE_NONE, _LEFT or _RIGHT held.
    virtual void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy);
    virtual void OnScrollDown();
    virtual void OnScrollUp();
    virtual void OnIncrement();
    virtual void OnDecrement();
    virtual s16_t GetZIndex() const;
    // The control's pixel rectangle; the base leaves it unchanged.
    virtual void GetRect(RECT* rect) const;
    virtual void SetZIndex(s16_t z);
    virtual const char* GetName() const;
    // Cut to 127 characters.
    virtual void SetName(const char* text);
    // The screen was entered; previous is the screen current before (the screen itself at a start).
    virtual void OnActivate(GuiScreen* previous);
    // The screen is left, or the event "OnDeInit" arrived.
    virtual void OnDeInit();
    virtual void SetFocus(bool flag);
    virtual bool IsFocused() const;
    virtual bool ReleasesFocus() const;
    virtual void OnChar(char character);
    // Reads the control's data again from its source (a picture its texture).
    virtual void RefreshData();
    virtual void DeleteSelection();

    float x = 0.0f;
    float y = 0.0f;
    s16_t zIndex = 0;
    bool focused = false;
    bool releasesFocus = true;
    GuiFixedText<GUI_CONTROL_NAME_SIZE> name;
};

// A new control of the type ("textbox" or "listbox", without regard to case); null for others.
// A "listbox" is a GuiListBox; a "textbox" is still a plain base.
GuiControl* GuiCreateControl(const char* typeName);
// The first control of the current screen with that name (without regard to case), or null.
GuiControl* GuiFindItem(const char* name);
// The same in the screen given; null for a null screen or name.
GuiControl* GuiFindItemInScreen(GuiScreen* screen, const char* name);
// Shows the localized text of the key in the screen's message box (the current screen when null),
// over any lock; a screen given explicitly keeps the message through its next entry.
void GuiWriteMsg(const char* textKey, GuiScreen* screen);
// Shows the screen "SWITCHLANGUAGE" for one whole frame while the language changes.
void GuiShowLanguageSwitch();
// Rebuilds the GUI's screens (the command gui_refresh).
void GuiRefresh();
// Selects the entry of the control "resolution" of the screen "OPTIONS_GRAPHICS_RESOLUTION".
void GuiSelectResolution(s32_t entry);
