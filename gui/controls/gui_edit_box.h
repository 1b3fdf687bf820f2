// A one-line text field: account names and passwords, server names, chat input. A click gives it the
// focus, typed characters go in while it has it, the text may show masked, a minimum and a maximum
// length are kept with messages in the screen's message box, and the text goes to a console variable
// when the focus goes, or to a console command when Enter is pressed.
#pragma once
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_named_command.h"
#include "platform/d3d8.h"

class Font;
struct ConsoleVar;

constexpr u32_t GUI_EDIT_TEXT_MAX = 128;

class GuiEditBox : public GuiControl {
public:
    ~GuiEditBox() override;
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // A click only takes the focus (the screen manager's SetFocus).
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    s16_t GetZIndex() const override;
    void GetRect(RECT* rect) const override;
    void SetZIndex(s16_t z) override;
    // The text from the initial variable on every entry, else empty.
    void OnActivate(GuiScreen* previous) override;
    // Leaving the screen while editing commits the text to the variable; the focus flag stays.
    void OnDeInit() override;
    // Losing the focus while editing commits the text to the bound variable.
    void SetFocus(bool flag) override;
    bool IsFocused() const override;
    bool ReleasesFocus() const override;
    void OnChar(char character) override;

    // Binds the variable the text goes to and takes its value when it is shorter than 128 characters.
    void SetVariable(const char* variableName);
    void SetInitVariable(const char* variableName);
    // Takes the text over (new[]).
    void SetTooltip(char* text);
    // Replaces the text, cut to 128 characters.
    void SetText(const char* newText);
    const char* Text() const { return text; }
    u32_t Length() const { return length; }

    IDirect3DTexture8* background = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    s16_t zIndexOwn = 0;
    float fontSize = 0.0f;
    const Font* font = nullptr;
    bool editing = false;
    ConsoleVar* variable = nullptr;
    ConsoleVar* initVariable = nullptr;
    GuiNamedCommand enterCommand;
    bool masked = false;
    char* tooltip = nullptr;  // owned
    u16_t minimumLength = 0;
    u16_t maximumLength = 0;
    bool releases = true;
    s32_t alignment = 0;  // 0 centre, 1 right, 2 left
    u32_t colour = 0xFFFFFFFFu;

private:
    // Enter or Escape: ends editing within the limits.
    void Finish(char key);
    void ShowLocked(const char* format, u32_t value) const;

    char text[GUI_EDIT_TEXT_MAX + 1] = {};
    u32_t length = 0;
};
