// A check box: shows and toggles one boolean console variable, with a localized label, a hover glow, a
// condition that hides it, a command run after each toggle, and dependent check boxes that are
// enabled only while this one is checked (an option and its sub-options).
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_named_command.h"
#include "platform/d3d8.h"

class Font;
struct ConsoleVar;

class GuiCheckBox : public GuiControl {
public:
    ~GuiCheckBox() override;
    // Nothing while the condition is false; the state follows the variable every frame.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Toggles unless disabled: the dependants follow, then the variable, then the command.
    void OnClick(s32_t x, s32_t y) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    void GetRect(RECT* rect) const override;
    const char* GetName() const override;
    void SetName(const char* text) override;
    // The state from the variable and the label localized again.
    void OnActivate(GuiScreen* previous) override;

    // A null control is not added.
    void AddDependant(GuiCheckBox* control);
    u32_t DependantCount() const { return static_cast<u32_t>(m_dependants.size()); }
    // Take the text over (new[]).
    void SetTooltip(char* text);

    float width = 0.0f;
    float height = 0.0f;
    float mark[4] = {};  // x, y, width, height as fractions of the box
    EngineString labelKey;
    char* labelText = nullptr;  // owned
    const Font* font = nullptr;
    float fontSize = 0.0f;
    float opacity = 1.0f;
    float glow = 0.0f;
    IDirect3DTexture8* checkedTexture = nullptr;
    IDirect3DTexture8* uncheckedTexture = nullptr;
    IDirect3DTexture8* background = nullptr;
    bool checked = false;
    ConsoleVar* variable = nullptr;
    bool hovered = false;
    bool disabled = false;
    EngineString condition;
    char* tooltip = nullptr;  // owned
    u32_t colour = 0xFFFFFFFFu;
    GuiNamedCommand command;

private:
    GuiFixedText<GUI_CONTROL_NAME_SIZE> m_name;
    std::vector<GuiCheckBox*> m_dependants;  // not owned: the screen's controls
};
