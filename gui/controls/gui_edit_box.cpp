#include "gui/controls/gui_edit_box.h"

#include <cstdio>
#include <cstring>

#include "core/console/console_var.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_image.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {
constexpr char kEnter = 13;
constexpr char kEscape = 27;
constexpr char kBackspace = 8;
// The caret shows while this bit of the millisecond tick is set: about four blinks a second.
constexpr DWORD kCaretBit = 256;

// The pixels the text draw moves on by: each glyph's advance at the scale, as it places them.
int ScaledWidth(const Font* font, const char* text, float scale)
{
    int width = 0;
    for (const char* p = text; *p; ++p) {
        int glyphWidth = 0, advance = 0;
        font->GetGlyphMetrics(static_cast<u8_t>(*p), &glyphWidth, &advance);
        width += static_cast<int>(static_cast<float>(advance) * scale);
    }
    return width;
}

void SetViewport(const D3DVIEWPORT8& viewport)
{
    g_camera.viewport = viewport;
    if (g_render.device)
        g_render.device->SetViewport(&viewport);
}
}  // namespace

GuiEditBox::~GuiEditBox()
{
    delete[] tooltip;
}

void GuiEditBox::SetTooltip(char* newText)
{
    delete[] tooltip;
    tooltip = newText;
}

void GuiEditBox::SetText(const char* newText)
{
    GuiCopyBounded(text, sizeof text, newText);
    length = static_cast<u32_t>(std::strlen(text));
}

void GuiEditBox::SetVariable(const char* variableName)
{
    variable = variableName ? CVarListFind(variableName) : nullptr;
    if (variable && std::strlen(variable->String()) < GUI_EDIT_TEXT_MAX)
        SetText(variable->String());
}

void GuiEditBox::SetInitVariable(const char* variableName)
{
    initVariable = variableName ? CVarListFind(variableName) : nullptr;
}

void GuiEditBox::OnActivate(GuiScreen*)
{
    // A longer value is cut to the field: the text has room for 128 characters.
    SetText(initVariable ? initVariable->String() : "");
}

void GuiEditBox::SetFocus(bool flag)
{
    // Only the field being edited commits: every click elsewhere takes the focus from every control,
    // and a field left alone would write its old text over a variable that another field or a command
    // has set since.
    if (!flag && editing && variable)
        variable->SetString(text);
    editing = flag;
}

void GuiEditBox::OnDeInit()
{
    if (variable && editing)
        variable->SetString(text);
}

bool GuiEditBox::IsFocused() const
{
    return editing;
}

bool GuiEditBox::ReleasesFocus() const
{
    return releases;
}

s16_t GuiEditBox::GetZIndex() const
{
    return zIndexOwn;
}

void GuiEditBox::SetZIndex(s16_t z)
{
    zIndexOwn = z;
}

void GuiEditBox::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

void GuiEditBox::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(tooltip);
}

void GuiEditBox::ShowLocked(const char* format, u32_t value) const
{
    GuiScreen* screen = g_gui.currentScreen;
    if (!screen || !screen->GetToolTip())
        return;
    char message[GUI_TOOLTIP_TEXT_SIZE];
    std::snprintf(message, sizeof message, format, static_cast<int>(value));
    screen->GetToolTip()->SetText(message, true);
}

void GuiEditBox::OnChar(char c)
{
    const bool limited = minimumLength != 0 && maximumLength != 0;
    if (limited && c != kEnter && c != kEscape && length + 1 > maximumLength) {
        ShowLocked("String can contain max. %d characters", maximumLength);
        if (c != kBackspace)
            return;
    }
    if (c == kEnter || c == kEscape) {
        Finish(c);
        return;
    }
    if (c == kBackspace) {
        if (length > 0)
            text[--length] = '\0';
        return;
    }
    if (length >= GUI_EDIT_TEXT_MAX)
        return;
    text[length++] = c;
    text[length] = '\0';
}

void GuiEditBox::Finish(char key)
{
    const bool limited = minimumLength != 0 && maximumLength != 0;
    if (limited) {
        if (length >= minimumLength)
            SetFocus(false);
        else
            ShowLocked("Please enter at least %d characters", minimumLength);
        return;
    }
    SetFocus(false);
    if (key == kEnter && enterCommand.IsSet()) {
        enterCommand.Run("", nullptr);
        SetText("");
        SetFocus(true);
    }
}

void GuiEditBox::Draw(float, float, float, float)
{
    RECT box = {};
    GetRect(&box);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (background) {
        RenderSetTexture(0, background);
        Draw2DQuad(box.left, box.right, box.top, box.bottom);
    }
    if (!font)
        return;

    const float scale = GuiScaleToScreen(fontSize);
    s32_t textX = box.left + (box.right - box.left) / 2;
    if (alignment == 1)
        textX = box.right;
    else if (alignment == 2)
        textX = box.left;
    const s32_t textY = box.top - static_cast<s32_t>(static_cast<float>(font->GetCharHeight()) * scale -
                                                     scale * static_cast<float>(font->GetBase()));

    // Text wider than the field is clipped to it, not drawn over its neighbours.
    D3DVIEWPORT8 saved = g_camera.viewport;
    if (g_render.device)
        g_render.device->GetViewport(&saved);
    D3DVIEWPORT8 clip = {};
    clip.X = static_cast<DWORD>(box.left + 1 > 0 ? box.left + 1 : 0);
    clip.Y = static_cast<DWORD>(box.top > 0 ? box.top : 0);
    clip.Width = static_cast<DWORD>(box.right - box.left - 1 > 0 ? box.right - box.left - 1 : 0);
    clip.Height = static_cast<DWORD>(box.bottom - box.top > 0 ? box.bottom - box.top : 0);
    clip.MinZ = 0.0f;
    clip.MaxZ = 1.0f;
    SetViewport(clip);

    char stars[GUI_EDIT_TEXT_MAX + 1];
    const char* shown = text;
    if (masked) {
        std::memset(stars, '*', length);
        stars[length] = '\0';
        shown = stars;
    }
    const char caret[2] = {static_cast<char>(font->GetCursorChar()), '\0'};
    // An entry longer than the field keeps its end, and the caret after it, in view: it is drawn from
    // the left so that it ends at the field's right edge, its start going out at the left.
    s32_t drawX = textX;
    int drawAlignment = 2 - alignment;
    const int needed = ScaledWidth(font, shown, scale) + (editing ? ScaledWidth(font, caret, scale) : 0);
    const s32_t textWidthAligned = static_cast<s32_t>(static_cast<float>(font->GetTextWidth(shown)) * scale);
    s32_t start = textX;
    if (alignment == 1)
        start = textX - textWidthAligned;
    else if (alignment == 0)
        start = textX - static_cast<s32_t>(static_cast<u32_t>(textWidthAligned) / 2);
    const s32_t fieldRight = box.right - 1;
    if (start + needed > fieldRight) {
        drawX = fieldRight - needed;
        drawAlignment = 0;
    }

    int textWidth = 0;
    if (length > 0)
        textWidth = DrawFontText(font, false, drawX, textY, scale, shown, colour, drawAlignment);
    if (editing && (GetTickCount() & kCaretBit) != 0) {
        RenderSetTexture(0, nullptr);
        DrawFontText(font, false, drawX + textWidth, textY, scale, caret, colour, 0);
    }
    SetViewport(saved);
}
