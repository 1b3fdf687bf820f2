// A picture control: a textured box showing a fixed picture, or the picture a live value names.
#pragma once
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

constexpr u32_t GUI_IMAGE_NAME_SIZE = 64;
constexpr u32_t GUI_IMAGE_SOURCE_SIZE = 128;

// A texture factor of truncate(fraction x 255) in its alpha byte, the colour bytes 0. A script's
// opacity may be any number: fractions outside 0 to 1 are held to them.
u32_t GuiOpacityFactor(float fraction);
// Blending by source alpha, the picture's colour as it is and its alpha scaled by that opacity: the
// states a picture with an opacity is drawn with.
void GuiOpacityBlendStates(float opacity);

class GuiImage : public GuiControl {
public:
    ~GuiImage() override;
    // Nothing without a texture; the box as a rectangle's, the picture's opacity over it.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Shows the tooltip in the current screen's message box, without locking it.
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    // The box in pixels, without the one-pixel minimum of rectangles.
    void GetRect(RECT* rect) const override;
    // Images keep a name of their own, cut to 63 characters.
    const char* GetName() const override;
    void SetName(const char* text) override;
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;
    // Loads the picture the live source names again ("component\gui\" first, then as named); its
    // extension is cut.
    void RefreshData() override;
    // Takes the text over (new[]).
    void SetTooltip(char* text);

    IDirect3DTexture8* texture = nullptr;  // not owned: the texture registries hold it
    float width = 0.0f;
    float height = 0.0f;
    float opacity = 1.0f;
    GuiFixedText<GUI_IMAGE_NAME_SIZE> imageName;
    bool alphaBlended = true;
    GuiFixedText<GUI_IMAGE_SOURCE_SIZE> source;  // "$" and a live value's name
    char* tooltip = nullptr;                     // owned
};
