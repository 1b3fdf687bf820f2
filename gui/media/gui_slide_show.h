// A sequence of pictures with optional captions, advancing by itself on timers with a cut, a
// cross-fade or a fade out and in, or stepped by other controls. Its source "photos" loads the
// briefing photos of the current mission (the names in gs_photos).
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "gui/controls/gui_controls.h"
#include "platform/d3d8.h"

class Font;

enum GuiSlideShowType : s32_t {
    GUI_SLIDES_CUT = 0,
    GUI_SLIDES_CROSS_FADE = 1,
    GUI_SLIDES_FADE_OUT_IN = 2,
    GUI_SLIDES_MANUAL = 3,
};

class GuiSlideShow : public GuiControl {
public:
    ~GuiSlideShow() override;
    // Nothing without pictures.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void OnRightClick(s32_t x, s32_t y) override;
    void OnClick(s32_t x, s32_t y) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    // The next and the previous picture, wrapping: for a manual show, and for a picture that has no
    // interval of its own (it is never timed).
    void OnIncrement() override;
    void OnDecrement() override;
    s16_t GetZIndex() const override;
    void GetRect(RECT* rect) const override;
    void SetZIndex(s16_t z) override;
    // A manual show starts again at its first picture; then the source is read again.
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;
    bool IsFocused() const override;
    // For the source "photos": the pictures named in gs_photos and their captions from the map's
    // locale text (an empty caption where there is none, so captions stay with their pictures).
    void RefreshData() override;

    void AddImage(IDirect3DTexture8* texture);
    void AddInterval(u32_t seconds);
    void AddText(const char* text);
    // Takes the text over (new[]).
    void SetTooltip(char* text);

    u32_t ImageCount() const { return static_cast<u32_t>(images.size()); }
    u32_t IntervalCount() const { return static_cast<u32_t>(intervals.size()); }
    u32_t CaptionCount() const { return static_cast<u32_t>(captions.size()); }

    float rect[4] = {};
    float currentAlpha = 1.0f;
    float nextAlpha = 0.0f;
    s16_t ownZIndex = 0;
    float textX = 0.0f;
    float textY = 0.0f;
    float textSize = 0.0f;
    bool ownFocus = false;
    const Font* font = nullptr;
    std::vector<IDirect3DTexture8*> images;  // not owned; may hold nulls
    std::vector<u32_t> intervals;            // seconds
    std::vector<EngineString> captions;
    u32_t current = 0;
    u32_t startTime = 0;
    u32_t changeTime = 0;
    bool started = false;
    s32_t type = GUI_SLIDES_CUT;
    float opacity = 0.0f;
    EngineString source;

private:
    bool Timed() const;
    char* m_tooltip = nullptr;
};
