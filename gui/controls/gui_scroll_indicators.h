// The scroll indicators: a knob on a bar that shows which part of a text box of the same screen is
// in view. The slider and the scroll bar are drawn alike.
#pragma once
#include "gui/controls/gui_image.h"

constexpr u32_t GUI_BOUND_NAME_SIZE = 128;

class GuiScrollIndicator : public GuiControl {
public:
    // Nothing while no control of the bound name is found; the bar, then the knob over the part of
    // the bound text box in view.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    s16_t GetZIndex() const override;
    // The bar's rectangle.
    void GetRect(RECT* rect) const override;
    void SetZIndex(s16_t z) override;
    void SetFocus(bool flag) override;

    GuiFixedText<GUI_BOUND_NAME_SIZE> boundName;
    GuiControl* bound = nullptr;  // found on a draw, in the current screen
    GuiImage background;
    GuiImage knob;
    s16_t ownZIndex = 0;
};

class GuiSlider : public GuiScrollIndicator {};
class GuiScrollBar : public GuiScrollIndicator {};
