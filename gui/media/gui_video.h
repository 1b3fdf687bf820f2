// A looping AVI video in a rectangle of a screen (animated backgrounds, mission previews). Without a
// video it says "Video error!" in red at its top-left corner.
#pragma once
#include "gui/controls/gui_controls.h"

class VideoPlayer;

class GuiVideo : public GuiControl {
public:
    ~GuiVideo() override;
    // The frame due by the tick count since the loop started; the loop starts again at the end.
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void OnRightClick(s32_t x, s32_t y) override;
    void OnClick(s32_t x, s32_t y) override;
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    s16_t GetZIndex() const override;
    void GetRect(RECT* rect) const override;
    void SetZIndex(s16_t z) override;

    // The player of "component\gui\" + name + ".avi" (shared by name); null when it cannot play.
    void SetVideo(const char* videoName);
    // Takes the text over (new[]).
    void SetTooltip(char* text);

    VideoPlayer* player = nullptr;  // owned by the video module
    float rect[4] = {};             // x, y, width, height as screen fractions
    s16_t ownZIndex = 0;
    float opacity = 0.0f;
    u32_t startTime = 0;
    bool started = false;
    // The frame drawn last (-1 before any), for the curious.
    s32_t shownFrame = -1;

private:
    char* m_tooltip = nullptr;
};
