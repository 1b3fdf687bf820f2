// The two console views of the game frame: the open console panel and the message lines, each in
// a grid-font and a bitmap-font variant.
#include <algorithm>
#include <cstring>

#include "core/console/console.h"
#include "gui/screens/gui.h"
#include "platform/win32.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/grid_font.h"
#include "render/draw2d/hud_input.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "render/textures/texture_preload.h"

namespace {

constexpr u8_t kGridCursor = 0x04;
constexpr int kGridCellWidth = 12;
constexpr int kGridCellHeight = 15;
constexpr int kGridPanelLeft = 12;
constexpr int kGridMessageLeft = 112;
constexpr u32_t kFadeStartMs = 5500;
constexpr u32_t kExpireMs = 6000;

constexpr u32_t kKeepArgument = 0xFFFFFFFFu;

void SetConsoleStates()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_ZWRITEENABLE, FALSE);
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetColorOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, kKeepArgument, kKeepArgument);
}

void RestoreWireframe()
{
    if (rbwireframe.Bool())
        RenderSetState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
}

// The panel's background: a quad of the texture factor's colour.
void DrawBackground(int top, D3DCOLOR colour)
{
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeepArgument);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, kKeepArgument);
    Draw2DQuad(0, g_render.screenWidth, top, g_render.screenHeight);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

bool CursorShown()
{
    return (GetTickCount() & 0x100) != 0;
}

// ">" + the last maxShown characters of the input + the cursor while it blinks on.
void BuildInputLine(char (&out)[CON_COMMAND_LINE_SIZE + 4], const char* input, int inputLength, int maxShown,
                    u8_t cursor)
{
    int length = input ? std::clamp(inputLength, 0, CON_COMMAND_LINE_SIZE) : 0;
    if (input)
        length = static_cast<int>(strnlen(input, static_cast<size_t>(length)));
    maxShown = std::max(maxShown, 0);
    const int start = length > maxShown ? length - maxShown : 0;
    int at = 0;
    out[at++] = '>';
    for (int i = start; i < length; ++i)
        out[at++] = input[i];
    if (CursorShown())
        out[at++] = static_cast<char>(cursor);
    out[at] = '\0';
}

IDirect3DTexture8* GridFontTexture()
{
    return g_preloadedTextures.guiFont ? g_preloadedTextures.guiFont : GridFontBuiltinTexture();
}

const char* LineAt(char** lines, int index)
{
    return lines ? lines[index] : nullptr;
}

void GridLines(char** lines, int lineCount, int x, D3DCOLOR textColour)
{
    const int height = g_render.screenHeight;
    const int shown = std::min((height - 15) / 15, lineCount);
    for (int k = 0; k < shown; ++k)
        DrawGridText(x, height - 45 - 15 * k, kGridCellWidth, kGridCellHeight, LineAt(lines, lineCount - 1 - k),
                     textColour);
}

void GridConsolePanel(char** lines, int lineCount, const char* input, int inputLength, D3DCOLOR background,
                      D3DCOLOR textColour)
{
    const int width = g_render.screenWidth, height = g_render.screenHeight;
    const int columns = (width - 12) / 12;
    const int shown = std::min((height - 15) / 15, lineCount);
    DrawBackground((height - 45) - 15 * std::max(shown, 0), background);
    RenderSetTexture(0, GridFontTexture());
    GridLines(lines, lineCount, kGridPanelLeft, textColour);
    char inputLine[CON_COMMAND_LINE_SIZE + 4];
    BuildInputLine(inputLine, input, inputLength, columns - 2, kGridCursor);
    DrawGridText(kGridPanelLeft, height - 22, kGridCellWidth, kGridCellHeight, inputLine, textColour);
}

void GridMessageLines(bool typing, char** lines, int lineCount, const char* input, int inputLength, D3DCOLOR textColour)
{
    const int width = g_render.screenWidth, height = g_render.screenHeight;
    RenderSetTexture(0, GridFontTexture());
    GridLines(lines, lineCount, kGridMessageLeft, textColour);
    if (!typing)
        return;
    char inputLine[CON_COMMAND_LINE_SIZE + 4];
    BuildInputLine(inputLine, input, inputLength, (width - 12) / 12 - 2, kGridCursor);
    DrawGridText(kGridMessageLeft, height - 22, kGridCellWidth, kGridCellHeight, inputLine, textColour);
}

// The bitmap font's measures on this screen.
struct FontLayout {
    float scale;
    int lineHeight;
    int margin;  // the cursor character's advance
};

FontLayout LayoutOf(const Font* font)
{
    FontLayout layout;
    layout.scale = GuiScaleToScreen(0.4f);
    layout.lineHeight = std::max(static_cast<int>(static_cast<float>(font->GetCharHeight()) * layout.scale), 1);
    int width = 0;
    font->GetGlyphMetrics(font->GetCursorChar(), &width, &layout.margin);
    return layout;
}

int BitmapShownLines(const FontLayout& layout, int lineCount)
{
    return std::max(std::min((g_render.screenHeight - layout.lineHeight) / layout.lineHeight, lineCount), 0);
}

void BitmapInputLine(const Font* font, const FontLayout& layout, int x, const char* input, int inputLength,
                     D3DCOLOR textColour)
{
    char inputLine[CON_COMMAND_LINE_SIZE + 4];
    BuildInputLine(inputLine, input, inputLength, CON_COMMAND_LINE_SIZE, font->GetCursorChar());
    const int y = g_render.screenHeight - layout.lineHeight / 2 - layout.lineHeight;
    DrawFontText(font, false, x, y, layout.scale, inputLine, textColour, 0);
}

void BitmapConsolePanel(const Font* font, char** lines, int lineCount, const char* input, int inputLength,
                        D3DCOLOR background, D3DCOLOR textColour)
{
    const FontLayout layout = LayoutOf(font);
    const int shown = BitmapShownLines(layout, lineCount);
    int y = g_render.screenHeight - 3 * layout.lineHeight;
    DrawBackground(y - shown * layout.lineHeight, background);
    int x = layout.margin;
    for (int k = 0; k < shown; ++k) {
        x += DrawFontText(font, false, x, y, layout.scale, LineAt(lines, lineCount - 1 - k), textColour, 0);
        y -= layout.lineHeight;
    }
    BitmapInputLine(font, layout, x, input, inputLength, textColour);
}

// The line's colour at its age: full until 5.5 s, then its alpha falls to 0 at 6 s.
D3DCOLOR FadedColour(D3DCOLOR colour, u32_t age)
{
    if (age <= kFadeStartMs)
        return colour;
    const float factor = (255.0f - static_cast<float>(age - kFadeStartMs) * 0.002f * 255.0f) / 255.0f;
    const u32_t alpha = static_cast<u32_t>(static_cast<float>(colour >> 24) * std::max(factor, 0.0f));
    return (alpha << 24) | (colour & 0x00FFFFFFu);
}

void BitmapMessageLines(const Font* font, bool typing, char** lines, int lineCount, const char* input, int inputLength,
                        u32_t* stamps, D3DCOLOR textColour)
{
    const FontLayout layout = LayoutOf(font);
    int margin = layout.margin;
    if (const GuiScreen* screen = GuiFindScreen("LAYER5"))
        margin += static_cast<int>(static_cast<float>(g_render.screenWidth) * screen->left);
    RenderSetState(D3DRS_ALPHATESTENABLE, FALSE);
    const int shown = BitmapShownLines(layout, lineCount);
    const u32_t now = GetTickCount();
    int y = g_render.screenHeight - 3 * layout.lineHeight;
    int x = margin;
    for (int k = 0; k < shown; ++k) {
        const int index = lineCount - 1 - k;
        char* line = lines ? lines[index] : nullptr;
        // Each line starts from the caller's colour: a fading line does not tint the ones above it.
        D3DCOLOR colour = textColour;
        if (stamps && stamps[index]) {
            const u32_t age = now - stamps[index];
            if (age > kExpireMs) {
                if (line)
                    line[0] = '\0';
                stamps[index] = 0;
            } else {
                colour = FadedColour(textColour, age);
            }
        }
        x += DrawFontText(font, false, x, y, layout.scale, line, colour, 0);
        y -= layout.lineHeight;
    }
    if (typing)
        BitmapInputLine(font, layout, x, input, inputLength, textColour);
}

}  // namespace

void DrawConsolePanel(char** lines, int lineCount, const char* input, int inputLength, D3DCOLOR backgroundColour,
                      D3DCOLOR textColour)
{
    SetConsoleStates();
    if (g_hudInput.defaultFont)
        BitmapConsolePanel(g_hudInput.defaultFont, lines, lineCount, input, inputLength, backgroundColour, textColour);
    else
        GridConsolePanel(lines, lineCount, input, inputLength, backgroundColour, textColour);
    RestoreWireframe();
}

void DrawMessageLines(bool typing, char** lines, int lineCount, const char* input, int inputLength, u32_t* stamps,
                      D3DCOLOR, D3DCOLOR textColour)
{
    SetConsoleStates();
    if (g_hudInput.defaultFont)
        BitmapMessageLines(g_hudInput.defaultFont, typing, lines, lineCount, input, inputLength, stamps, textColour);
    else
        GridMessageLines(typing, lines, lineCount, input, inputLength, textColour);
    RestoreWireframe();
}
