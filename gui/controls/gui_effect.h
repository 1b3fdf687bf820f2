// An additively blended texture that scrolls endlessly over another control of the same screen
// (moving light, smoke, scan lines), and can take its scroll phase over from the effect of the same
// link name on the screen shown before, so that the animation runs on across a switch.
#pragma once
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

constexpr u32_t GUI_EFFECT_NAME_SIZE = 128;

class GuiEffect : public GuiControl {
public:
    // Nothing while no control of the bound name is found.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    s16_t GetZIndex() const override;
    void SetZIndex(s16_t z) override;
    // An empty rectangle that no point lies in: an overlay is never hit.
    void GetRect(RECT* rect) const override;
    // Takes the phases of the linked effect of the previous screen.
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;

    GuiControl* bound = nullptr;  // found on a draw, in the current screen
    GuiFixedText<GUI_EFFECT_NAME_SIZE> linkName;
    bool linked = false;
    GuiFixedText<GUI_EFFECT_NAME_SIZE> boundName;
    s16_t ownZIndex = 0;
    IDirect3DTexture8* texture = nullptr;  // not owned
    float boxX = 0.0f;
    float boxY = 0.0f;
    float boxWidth = 0.0f;
    float boxHeight = 0.0f;
    bool ownBox = false;
    float opacity = 0.0f;
    float speedU = 0.0f;  // texture widths per second
    float speedV = 0.0f;
    float phaseU = 0.0f;  // 0 to 1
    float phaseV = 0.0f;
};
