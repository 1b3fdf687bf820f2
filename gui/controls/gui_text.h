// A screen's text item ("txt") and the square control ("SQUARE").
#pragma once
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

class Font;

constexpr u32_t GUI_TEXT_SHOWN_SIZE = 1024;

// A line of text whose y is its bottom edge. A text beginning with "$" names a live value, shown
// as it is at each draw.
class GuiText : public GuiControl {
public:
    ~GuiText() override;
    // Takes a copy of the text.
    void Set(float textX, float textY, const char* newText, float newSize, const Font* newFont);
    void SetText(const char* newText);
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    // Resolves the shown text.
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;

    const char* Text() const { return text; }
    const char* ShownText() const { return shownText; }

    char* text = nullptr;  // owned
    char shownText[GUI_TEXT_SHOWN_SIZE] = {};
    float size = 0.0f;  // for an 800-wide screen
    const Font* font = nullptr;
    u32_t colour = 0xFFFFFFFFu;
    s32_t alignment = 0;  // as DrawFontText: 0 left from x, 1 right-aligned to x, 2 centred on x

private:
    void Resolve();
};

// A quad (textured or flat) of a size on the 800 x 600 virtual screen, centred on a point of it.
class GuiSquare : public GuiControl {
public:
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void SetFocus(bool flag) override;
    // The pixel box: half sizes by integer division, edges in signed arithmetic.
    RECT PixelBox() const;

    IDirect3DTexture8* texture = nullptr;
    u32_t sizeX = 0;
    u32_t sizeY = 0;
    s32_t centreX = 0;
    s32_t centreY = 0;
    u32_t colour = 0xFFFFFFFFu;
};

// A new[] copy of the text (the caller deletes it); null for null.
char* GuiCopyText(const char* text);
