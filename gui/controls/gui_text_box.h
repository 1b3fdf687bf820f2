// A block of text in a box: briefings, descriptions, credits, values. The text (a locale text, a
// live value, or a form loaded into the box) may carry the inline codes of gui/texts/def_script_codes.h;
// it is word-wrapped to the box and scrolled line by line, or rolls upward by itself like credits.
#pragma once
#include <string>

#include "gui/controls/gui_controls.h"
#include "gui/screens/screen_manager.h"

class Font;

// Where the visible part of a laid-out text lies, as fractions 0 to 1 of the whole text.
struct GuiTextRange {
    float start = 0.0f;
    float end = 1.0f;
};

class GuiTextBox : public GuiControl, public GuiFormTextTarget {
public:
    ~GuiTextBox() override;
    // The source text names the form ("file.key"); a form's text, when there is one, replaces it.
    const char* FormSource() const override { return m_source; }
    void SetForm(const char* path, const char* key, const char* text) override;
    void Draw(float offsetX, float offsetY, float scaleX, float scaleY) override;
    void OnRightClick(s32_t x, s32_t y) override;
    void OnClick(s32_t x, s32_t y) override;
    // Shows the tooltip in the current screen's message box without locking it.
    void OnMouse(u32_t buttons, s32_t x, s32_t y, s32_t dx, s32_t dy) override;
    // The text moves up one line, until its last line is in the box.
    void OnScrollDown() override;
    // The text moves down one line, until its first line is at the top.
    void OnScrollUp() override;
    void OnIncrement() override;
    void OnDecrement() override;
    // The box in pixels, at least one pixel wide and high.
    void GetRect(RECT* rect) const override;
    // Back to the first line; a rolling text starts again below the box.
    void OnActivate(GuiScreen* previous) override;
    void SetFocus(bool flag) override;

    // Copies (null clears). The source is the "text" property or a loaded form text.
    void SetSourceText(const char* text);
    void SetFormText(const char* text);
    // Takes the text over (new[]).
    void SetTooltip(char* text);
    const char* SourceText() const { return m_source; }
    const char* FormText() const { return m_form; }
    const char* DisplayText() const { return m_display; }

    // The visible part of the text laid out as the last draw placed it (undrawn: as at scale 1).
    GuiTextRange VisibleRange();

    const Font* font = nullptr;
    float textSize = 0.0f;  // for an 800-wide screen
    float width = 0.0f;
    float height = 0.0f;
    s32_t scrollOffset = 0;  // pixels, 0 or negative
    bool scrollable = false;
    s32_t lineCount = 0;
    // Changed for good by the colour codes of the texts it draws.
    u32_t colour = 0xFFFFFFFFu;
    bool smoothScroll = false;
    float rollingPosition = 0.0f;  // pixels; negative is below the box's top

private:
    struct Box {
        s32_t left, top, right, bottom;
    };
    // Lays the display text out in the box; draws when asked. Sets the line count and scrollable.
    void Layout(const Box& box, float scaleX, float scaleY, bool draw);
    void RollingDraw(const Box& box);
    Box PixelBox(float offsetX, float offsetY, float scaleX, float scaleY) const;
    s32_t LineHeight() const;
    void FreeDisplay();

    char* m_display = nullptr;  // owned unless it is m_source
    char* m_rolling = nullptr;  // owned: the localized copy the rolling draw uses
    char* m_source = nullptr;
    char* m_form = nullptr;
    char* m_tooltip = nullptr;
    std::string m_word;  // reused by the layout
    float m_lastScaleX = 1.0f;
    float m_lastScaleY = 1.0f;
    float m_lastOffsetX = 0.0f;
    float m_lastOffsetY = 0.0f;
};
