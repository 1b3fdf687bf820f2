#include "gui/controls/gui_text_box.h"

#include <cmath>
#include <cstring>

#include "core/console/console_var.h"
#include "gui/controls/gui_controls.h"
#include "gui/texts/def_script_codes.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_text.h"
#include "gui/controls/gui_tooltip.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {

constexpr u32_t kLiveTextSize = 1024;
constexpr float kRollingPixelsPerSecond = 30.0f;

void TextStates(u32_t colour)
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_TEXTUREFACTOR, colour | 0x00FFFFFFu);
}

}  // namespace

GuiTextBox::~GuiTextBox()
{
    FreeDisplay();
    delete[] m_rolling;
    delete[] m_source;
    delete[] m_form;
    delete[] m_tooltip;
}

void GuiTextBox::FreeDisplay()
{
    if (m_display != m_source)
        delete[] m_display;
    m_display = nullptr;
}

void GuiTextBox::SetSourceText(const char* text)
{
    FreeDisplay();
    delete[] m_source;
    m_source = GuiCopyText(text);
    delete[] m_rolling;
    m_rolling = nullptr;
}

void GuiTextBox::SetFormText(const char* text)
{
    delete[] m_form;
    m_form = GuiCopyText(text);
}

void GuiTextBox::SetForm(const char*, const char*, const char* text)
{
    if (text)
        SetSourceText(text);
}

void GuiTextBox::SetTooltip(char* text)
{
    delete[] m_tooltip;
    m_tooltip = text;
}

void GuiTextBox::OnRightClick(s32_t, s32_t) {}
void GuiTextBox::OnClick(s32_t, s32_t) {}
void GuiTextBox::SetFocus(bool) {}

void GuiTextBox::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(m_tooltip);
}

GuiTextBox::Box GuiTextBox::PixelBox(float offsetX, float offsetY, float scaleX, float scaleY) const
{
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    Box box;
    box.left = static_cast<s32_t>(x * w * scaleX + offsetX * w);
    box.right = static_cast<s32_t>((x + width) * w * scaleX + offsetX * w);
    box.top = static_cast<s32_t>(y * h * scaleY + offsetY * h);
    box.bottom = static_cast<s32_t>((y + height) * h * scaleY + offsetY * h);
    return box;
}

void GuiTextBox::GetRect(RECT* rect) const
{
    if (!rect)
        return;
    const Box box = PixelBox(0.0f, 0.0f, 1.0f, 1.0f);
    rect->left = box.left;
    rect->top = box.top;
    rect->right = box.right > box.left ? box.right : box.left + 1;
    rect->bottom = box.bottom > box.top ? box.bottom : box.top + 1;
}

s32_t GuiTextBox::LineHeight() const
{
    if (!font)
        return 0;
    return static_cast<s32_t>(static_cast<float>(font->GetCharHeight()) * GuiScaleToScreen(textSize));
}

void GuiTextBox::OnActivate(GuiScreen*)
{
    scrollOffset = 0;
    lineCount = 0;
    rollingPosition = -static_cast<float>(static_cast<s32_t>(static_cast<float>(GuiScreenHeight()) * height));
}

void GuiTextBox::OnScrollDown()
{
    if (!scrollable || lineCount <= 0)
        return;
    const s32_t h = LineHeight();
    const Box box = PixelBox(0.0f, 0.0f, 1.0f, 1.0f);
    if (scrollOffset + (h + GuiScaleByHeight(2)) * lineCount > box.bottom - box.top)
        scrollOffset -= h;
}

void GuiTextBox::OnScrollUp()
{
    if (!scrollable || lineCount <= 0)
        return;
    scrollOffset += LineHeight();
    if (scrollOffset > 0)
        scrollOffset = 0;
}

void GuiTextBox::OnIncrement()
{
    OnScrollUp();
}

void GuiTextBox::OnDecrement()
{
    OnScrollDown();
}

void GuiTextBox::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    if (GuiIsLiveValue(m_source)) {
        FreeDisplay();
        char value[kLiveTextSize] = {};
        GuiGetLiveValue(m_source, value, sizeof value);
        m_display = GuiLocalizeQuoted(value);
    } else if (m_display != m_source) {
        FreeDisplay();
        m_display = m_source;
    }
    if (!m_display || !font)
        return;
    m_lastOffsetX = offsetX;
    m_lastOffsetY = offsetY;
    m_lastScaleX = scaleX;
    m_lastScaleY = scaleY;
    TextStates(colour);
    const Box box = PixelBox(offsetX, offsetY, scaleX, scaleY);
    if (smoothScroll)
        RollingDraw(box);
    else
        Layout(box, scaleX, scaleY, true);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
}

void GuiTextBox::Layout(const Box& box, float scaleX, float scaleY, bool draw)
{
    lineCount = 0;
    if (!m_display || !font)
        return;
    const float textScale = GuiScaleToScreen(textSize);
    const s32_t h = LineHeight();
    const s32_t gap = GuiScaleByHeight(2);
    const float step = static_cast<float>(h + gap) * scaleY;
    const float lineHeight = static_cast<float>(h) * scaleY;
    const float blank = static_cast<float>(font->GetTextWidth(" ")) * textScale * scaleX;
    float penX = static_cast<float>(box.left);
    s32_t line = 0;
    bool lineUsed = false;
    u32_t wordColour = colour;
    m_word.clear();

    auto newLine = [&]() {
        ++line;
        penX = static_cast<float>(box.left);
        lineUsed = false;
    };
    auto flush = [&]() {
        if (m_word.empty())
            return;
        const float wordWidth = static_cast<float>(font->GetTextWidth(m_word.c_str())) * textScale * scaleX;
        if (lineUsed && penX + wordWidth > static_cast<float>(box.right))
            newLine();
        if (draw) {
            const float top = static_cast<float>(box.top + scrollOffset) + static_cast<float>(line) * step;
            if (top >= static_cast<float>(box.top) && top + lineHeight <= static_cast<float>(box.bottom)) {
                RenderSetState(D3DRS_TEXTUREFACTOR, wordColour | 0x00FFFFFFu);
                DrawFontText(font, false, static_cast<int>(penX), static_cast<int>(top), textScale * scaleX,
                             m_word.c_str(), wordColour, 0);
            }
        }
        penX += wordWidth;
        lineUsed = true;
        m_word.clear();
    };
    auto plain = [&](char c) {
        if (c == ' ' || c == '\t') {
            flush();
            penX += blank;
            lineUsed = true;
        } else if (c == '\n') {
            flush();
            newLine();
        } else if (static_cast<unsigned char>(c) >= 32) {
            if (m_word.empty())
                wordColour = colour;
            m_word.push_back(c);
        }
    };

    const char* text = m_display;
    for (std::size_t i = 0; text[i] != '\0';) {
        if (text[i] != '\\') {
            plain(text[i]);
            ++i;
            continue;
        }
        const DefInlineCode code = DefReadInlineCode(text + i);
        i += code.length;
        switch (code.kind) {
            case DEF_CODE_BREAK:
                flush();
                newLine();
                break;
            case DEF_CODE_TAB:
                flush();
                penX += blank * static_cast<float>(code.value);
                lineUsed = true;
                break;
            case DEF_CODE_COLOUR:
                // The part of a word before the code keeps the colour it began in.
                flush();
                colour = code.value;
                break;
            case DEF_CODE_VARIABLE:
                if (const ConsoleVar* variable = DefConsoleVarAt(code.value)) {
                    for (const char* v = variable->ValueToText(); *v; ++v)
                        plain(*v);
                }
                break;
            default:
                break;
        }
    }
    flush();
    lineCount = line + 1;
    const float total = static_cast<float>((lineCount - 1) * gap + lineCount * h) * scaleY;
    scrollable = total > static_cast<float>(box.bottom - box.top);
}

void GuiTextBox::RollingDraw(const Box& box)
{
    if (!m_rolling)
        m_rolling = GuiLocalizeQuoted(m_display);
    if (!m_rolling)
        return;
    IDirect3DDevice8* device = g_render.device;
    D3DVIEWPORT8 saved = {};
    if (device) {
        device->GetViewport(&saved);
        D3DVIEWPORT8 clip = {};
        clip.X = static_cast<DWORD>(box.left > 0 ? box.left : 0);
        clip.Y = static_cast<DWORD>(box.top > 0 ? box.top : 0);
        clip.Width = static_cast<DWORD>(box.right > box.left ? box.right - box.left : 1);
        clip.Height = static_cast<DWORD>(box.bottom > box.top ? box.bottom - box.top : 1);
        clip.MinZ = 0.0f;
        clip.MaxZ = 1.0f;
        device->SetViewport(&clip);
    }
    const float textScale = GuiScaleToScreen(textSize);
    const s32_t step = LineHeight() + GuiScaleByHeight(2);
    const s32_t middle = (box.left + box.right) / 2;
    const s32_t rise = static_cast<s32_t>(rollingPosition);
    s32_t line = 0;
    u32_t lineColour = colour;
    m_word.clear();
    auto drawLine = [&]() {
        if (!m_word.empty()) {
            RenderSetState(D3DRS_TEXTUREFACTOR, lineColour | 0x00FFFFFFu);
            DrawFontText(font, false, middle, box.top + line * step - rise, textScale, m_word.c_str(), lineColour, 2);
        }
        m_word.clear();
        ++line;
        lineColour = colour;
    };
    const char* text = m_rolling;
    for (std::size_t i = 0; text[i] != '\0';) {
        if (text[i] == '\n') {
            drawLine();
            ++i;
            continue;
        }
        if (text[i] != '\\') {
            if (static_cast<unsigned char>(text[i]) >= 32) {
                if (m_word.empty())
                    lineColour = colour;
                m_word.push_back(text[i]);
            }
            ++i;
            continue;
        }
        const DefInlineCode code = DefReadInlineCode(text + i);
        i += code.length;
        if (code.kind == DEF_CODE_BREAK) {
            drawLine();
        } else if (code.kind == DEF_CODE_COLOUR) {
            colour = code.value;
            if (m_word.empty())
                lineColour = colour;
        } else if (code.kind == DEF_CODE_TAB) {
            m_word.append(code.value, ' ');
        } else if (code.kind == DEF_CODE_VARIABLE) {
            if (const ConsoleVar* variable = DefConsoleVarAt(code.value))
                m_word += variable->ValueToText();
        }
    }
    drawLine();
    rollingPosition += g_gui.frameTime * kRollingPixelsPerSecond;
    if (device)
        device->SetViewport(&saved);
}

GuiTextRange GuiTextBox::VisibleRange()
{
    GuiTextRange range;
    if (!m_display || !font)
        return range;
    const Box box = PixelBox(m_lastOffsetX, m_lastOffsetY, m_lastScaleX, m_lastScaleY);
    // Only drawing changes the colour for good.
    const u32_t kept = colour;
    Layout(box, m_lastScaleX, m_lastScaleY, false);
    colour = kept;
    const s32_t h = LineHeight();
    const float total = static_cast<float>((lineCount - 1) * GuiScaleByHeight(2) + lineCount * h);
    if (!(total > 0.0f))
        return range;
    const float ratio = static_cast<float>(box.bottom - box.top) / total;
    if (ratio >= 1.0f)
        return range;
    range.start = static_cast<float>(std::abs(scrollOffset)) / total;
    range.end = range.start + ratio;
    if (range.end > 1.0f)
        range.end = 1.0f;
    return range;
}
