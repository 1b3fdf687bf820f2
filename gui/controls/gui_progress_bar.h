// A bar showing an integer console variable (0 to 100) as a percentage; buttons raise or lower it
// in steps of 10.
#pragma once
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

struct ConsoleVar;

class GuiProgressBar : public GuiControl {
public:
    // The background over the box; the fill from its left edge over value percent of its width,
    // cut from the fill texture, not squeezed. A value set past 100 draws past the box.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // One step up, at most 100; without a variable nothing.
    void OnIncrement() override;
    // One step down, at least 0.
    void OnDecrement() override;
    void GetRect(RECT* rect) const override;

    float opacity = 1.0f;
    ConsoleVar* variable = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    IDirect3DTexture8* fill = nullptr;        // not owned
    IDirect3DTexture8* background = nullptr;  // not owned
    s32_t step = 10;
};
