// A screen's message box: one line of feedback that types its text out character by character,
// each new character glowing briefly, with a blinking caret and an optional typing sound. A message
// set with the lock resists tooltips for 2500 ms; a released message fades out. Not a control: its
// screen draws it last.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"
#include "platform/win32.h"

class Font;
class SoundInstance;

constexpr u32_t GUI_TOOLTIP_TEXT_SIZE = 256;
constexpr u32_t GUI_TOOLTIP_LOCK_MS = 2500;

class GuiToolTip {
public:
    // Shows a new message unless a locked one is younger than 2500 ms. A text of more than 255
    // characters, or the one shown in another case, changes nothing but the release.
    void SetText(const char* newText, bool lock);
    // Releases the text (it fades and may be replaced at once); a locked one only with force.
    void Unlock(bool force);
    void StopSound();
    // The box in display pixels.
    void GetRect(s32_t* left, s32_t* top, s32_t* right, s32_t* bottom) const;
    // Advances the typing, glow and fade by one frame and draws.
    void Draw();

    char text[GUI_TOOLTIP_TEXT_SIZE] = {};
    float glow[GUI_TOOLTIP_TEXT_SIZE] = {};
    float rect[4] = {};  // x, y, width, height as fractions of the display
    IDirect3DTexture8* background = nullptr;
    const Font* font = nullptr;
    float fontSize = 0.0f;  // for an 800-wide display
    s32_t alignment = 0;    // 0 left, 1 middle, 2 right
    float opacity = 1.0f;
    float currentOpacity = 1.0f;
    u32_t shown = 0;
    u32_t setTime = 0;
    u32_t lastCharTime = 0;
    bool released = false;
    bool locked = false;
    u32_t colours[2] = {0xFFFFFFFFu, 0xFFFF0000u};  // kept from the script; nothing draws with them
    u32_t textColour = 0xFFFFFFFFu;
    SoundInstance* typingSound = nullptr;
    bool soundPlaying = false;

private:
    // Both passes lay the shown characters out alike; glow draws the glow layer.
    void DrawCharacters(bool glowLayer, s32_t* endX, s32_t* endY) const;
};
