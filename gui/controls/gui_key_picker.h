// A key picker: shows the key bound to one input action (the control's name) and rebinds it. A click
// waits for the next key or mouse button and makes it the action's key in the logged-in account and
// in the live key map, taking it away from any other action. Escape and Enter cannot be bound.
#pragma once
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

class Font;
class SoundInstance;

// Answers the key code pressed (1..244), or 0 when the wait was given up (Escape already down, or a
// frame that could not begin): 0 changes nothing.
using GuiKeyWait = u8_t (*)();
// The wait the pickers use; null gives back the screen manager's.
void GuiSetKeyWait(GuiKeyWait wait);

class GuiKeyPicker : public GuiControl {
public:
    ~GuiKeyPicker() override;
    // The waiting picture while waiting, else the normal one, and the bound key's text over it.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Waits for a key inside the click and rebinds.
    void OnClick(s32_t x, s32_t y) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    void GetRect(RECT* rect) const override;

    // Takes the text over (new[]).
    void SetTooltip(char* text);
    // Makes the key the action's: the live key map and the account's table change together. Key 0
    // (a wait given up) changes nothing, nor does an action the input does not know, nor a missing
    // account.
    void Bind(u8_t key);

    const Font* font = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    float fontSize = 0.0f;
    IDirect3DTexture8* waitingTexture = nullptr;
    IDirect3DTexture8* normalTexture = nullptr;
    bool done = false;
    char* tooltip = nullptr;  // owned
    s32_t alignment = 0;      // 0 centre, 1 right, 2 left
    u32_t colour = 0xFFFFFFFFu;
    SoundInstance* clickSound = nullptr;  // not owned
};
