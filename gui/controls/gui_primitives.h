// The screen's plain drawn items: a line between two points with a colour gradient, a filled
// rectangle with four corner colours, and the outline of that rectangle.
#pragma once
#include "gui/controls/gui_controls.h"

// A plain record: not a control, drawn by its screen in its layer after the controls.
struct GuiLine {
    float endX = 0.0f;
    float endY = 0.0f;
    s16_t zIndex = 0;
    u32_t startColour = 0;
    u32_t endColour = 0;
    float startX = 0.0f;
    float startY = 0.0f;

    // One segment in pixels, the colours interpolated from start to end.
    void Draw() const;
};

class GuiRect : public GuiControl {
public:
    // A filled quad, no texture, colours 1 to 4 clockwise from the top-left corner.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // The unscaled pixel box, at least one pixel wide and high.
    void GetRect(RECT* rect) const override;
    // Never takes the focus.
    void SetFocus(bool flag) override;

    float width = 0.0f;
    float height = 0.0f;
    u32_t colours[4] = {};
};

// The outline of a GuiRect's box: colours at the top-left, top-right, bottom-right and bottom-left.
class GuiPoly : public GuiRect {
public:
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
};

// The drawn pixel box of an item at (x, y) of size (width, height) with the screen's draw arguments.
RECT GuiPixelBox(float x, float y, float width, float height, float offsetX, float offsetY, float scaleX, float scaleY);

// Alpha-blended 2D drawing: texture modulated by the vertex colour in colour and alpha, source alpha
// over inverse source alpha, no culling or depth.
void GuiAlphaBlendStates();
