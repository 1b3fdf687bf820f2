// A clickable caption over a picture: a hover glow that fades over a second, hover and click
// sounds, a tooltip, a condition that hides and disables it, and a target that opens a screen,
// sends an event to a control, runs a console command's handler or sets a console variable.
#pragma once
#include "core/console/console_var.h"
#include "core/strings/engine_string.h"
#include "gui/controls/gui_image.h"

class Font;
class SoundInstance;

constexpr u32_t GUI_BUTTON_TARGET_SIZE = 128;

enum GuiButtonAlignment : s32_t {
    GUI_BUTTON_CENTRE = 0,
    GUI_BUTTON_RIGHT = 1,
    GUI_BUTTON_LEFT = 2,
};

class GuiButton : public GuiControl {
public:
    GuiButton();
    ~GuiButton() override;
    // Picture, then the caption twice: plain glyphs at the caption's opacity, glow glyphs at the
    // highlight. Nothing while the condition is false.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void OnClick(s32_t x, s32_t y) override;
    // Every frame under the pointer: the glow at full, the hover sound once per visit, the tooltip.
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    void GetRect(RECT* rect) const override;
    void OnActivate(GuiScreen* previous) override;
    void OnDeInit() override;
    void SetFocus(bool flag) override;

    // Take the text over (new[]).
    void SetLabel(char* text);
    void SetTooltip(char* text);
    bool ConditionHolds() const;

    const Font* font = nullptr;
    float fontSize = 0.0f;  // for an 800-wide screen
    char* label = nullptr;  // owned
    float opacity = 1.0f;   // the caption's
    float highlight = 0.0f;
    GuiFixedText<GUI_BUTTON_TARGET_SIZE> target;
    GuiImage picture;
    s32_t alignment = GUI_BUTTON_CENTRE;
    // The console command run on a click, looked up by name at the click.
    EngineString command;
    ConsoleVar* selectionVar = nullptr;
    EngineString selectionValue;
    bool hovered = false;
    char* tooltip = nullptr;  // owned
    EngineString condition;
    u32_t captionColour = 0xFFFFFFFFu;
    bool hoverSoundPlayed = false;
    SoundInstance* hoverSound = nullptr;  // not owned: the sound system frees its instances
    SoundInstance* clickSound = nullptr;
};
