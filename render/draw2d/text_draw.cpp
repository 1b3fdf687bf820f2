#include "render/draw2d/text_draw.h"

#include "core/strings/colour_codes.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/grid_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {

// Quads of one text, written into the screen buffer and drawn 16 at a time. The screen buffer stays
// bound while the text is drawn and stream 0 is let go at the end.
class GlyphBatch {
public:
    GlyphBatch()
    {
        DynBufferSelect(&g_dynBuffers.screenVertices);
        DynIndexBufferSelect(&g_dynBuffers.smallIndices);
    }
    ~GlyphBatch()
    {
        Flush();
        DynBufferSelect(nullptr);
    }
    GlyphBatch(const GlyphBatch&) = delete;
    GlyphBatch& operator=(const GlyphBatch&) = delete;

    void Add(float left, float top, float right, float bottom, float u0, float v0, float u1, float v1, D3DCOLOR colour)
    {
        if (!m_locked) {
            DynBuffersLock(TEXT_BATCH_GLYPHS * 4, TEXT_BATCH_GLYPHS * 6);
            m_locked = true;
        }
        VertexScreen* v = reinterpret_cast<VertexScreen*>(g_dynBuffers.vertexOut) + m_count * 4;
        v[0] = {left, top, kScreenZ, kScreenRhw, colour, u0, v0};
        v[1] = {right, top, kScreenZ, kScreenRhw, colour, u1, v0};
        v[2] = {right, bottom, kScreenZ, kScreenRhw, colour, u1, v1};
        v[3] = {left, bottom, kScreenZ, kScreenRhw, colour, u0, v1};
        u16_t* index = g_dynBuffers.indexOut + m_count * 6;
        const u16_t base = static_cast<u16_t>(g_dynBuffers.baseVertex + m_count * 4);
        constexpr u16_t kQuad[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            index[i] = static_cast<u16_t>(base + kQuad[i]);
        if (++m_count == TEXT_BATCH_GLYPHS)
            Flush();
    }

    void Flush()
    {
        if (!m_locked)
            return;
        DynBuffersUnlock();
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, static_cast<u32_t>(m_count) * 4, static_cast<u32_t>(m_count) * 6,
                              true);
        m_count = 0;
        m_locked = false;
    }

private:
    int m_count = 0;
    bool m_locked = false;
};

// Reads an in-band code at *p. Returns false when the text ends inside the code; moves p onto the
// code's last byte.
bool ApplyColourCode(const u8_t*& p, D3DCOLOR callerColour, D3DCOLOR& colour)
{
    if (*p == COLOUR_RESTORE) {
        colour = callerColour;
        return true;
    }
    if (!p[1])
        return false;
    ++p;
    if (*p < PALETTE_SIZE)
        colour = (callerColour & 0xFF000000u) | kTextPalette[*p];
    return true;
}

bool IsColourCode(u8_t c)
{
    return c == static_cast<u8_t>(COLOUR_CODE) || c == static_cast<u8_t>(COLOUR_RESTORE);
}

IDirect3DTexture8* FontTexture(const Font* font, bool glow)
{
    if (!font)
        return nullptr;
    return glow ? font->GetGlowTexture() : font->GetTexture();
}

void AddFontGlyph(GlyphBatch& batch, const Font* font, int x, int y, float scale, u8_t c, D3DCOLOR colour)
{
    const int height = font->GetCharHeight();
    int width = 0, advance = 0;
    font->GetGlyphMetrics(c, &width, &advance);
    float u0, v0, u1, v1;
    font->GetGlyphUV(c, &u0, &v0, &u1, &v1);
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y + static_cast<int>(static_cast<float>(height - font->GetBase()) * scale));
    const float right = left + static_cast<float>(width) * scale;
    const float bottom = top + static_cast<float>(height) * scale;
    batch.Add(left - 0.5f, top - 0.5f, right - 0.5f, bottom - 0.5f, u0, v0, u1, v1, colour);
}

}  // namespace

void SetGridTextStates()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_ALPHATESTENABLE, FALSE);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_ZWRITEENABLE, FALSE);
    RenderSetState(D3DRS_STENCILENABLE, FALSE);
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetTexture(0, GridFontBuiltinTexture());
}

void DrawGridText(int x, int y, int cellWidth, int cellHeight, const char* text, D3DCOLOR colour)
{
    if (!text)
        return;
    GlyphBatch batch;
    D3DCOLOR current = colour;
    int penX = x;
    for (const u8_t* p = reinterpret_cast<const u8_t*>(text); *p; ++p) {
        if (IsColourCode(*p)) {
            if (!ApplyColourCode(p, colour, current))
                break;
            continue;
        }
        if (*p == '\n') {
            penX = x;
            continue;
        }
        // The code taken as a signed byte: codes from 0x80 give rows -8 to -1, which the wrapped
        // texture addressing turns into rows 8 to 15.
        const int column = *p & 15;
        const int row = static_cast<s8_t>(*p) >> 4;
        const float u0 = static_cast<float>(column) / 16.0f + 1.0f / 256.0f;
        const float v0 = static_cast<float>(row) / 16.0f;
        const float left = static_cast<float>(penX) - 0.5f, top = static_cast<float>(y) - 0.5f;
        batch.Add(left, top, left + static_cast<float>(cellWidth), top + static_cast<float>(cellHeight), u0, v0,
                  u0 + 14.0f / 256.0f, v0 + 15.0f / 256.0f, current);
        penX += cellWidth;
    }
}

int DrawFontText(const Font* font, bool glow, int x, int y, float scale, const char* text, D3DCOLOR colour,
                 int alignment)
{
    IDirect3DTexture8* texture = FontTexture(font, glow);
    if (!texture || !text)
        return 0;
    RenderSetTexture(0, texture);

    int penX = x;
    const int width = static_cast<int>(static_cast<float>(font->GetTextWidth(text)) * scale);
    if (alignment == 1)
        penX -= width;
    else if (alignment == 2)
        penX -= static_cast<int>(static_cast<u32_t>(width) / 2);
    int penY = y;
    const int lineStep = static_cast<int>(static_cast<float>(font->GetCharHeight()) * scale + 1.0f);

    GlyphBatch batch;
    D3DCOLOR current = colour;
    for (const u8_t* p = reinterpret_cast<const u8_t*>(text); *p; ++p) {
        if (IsColourCode(*p)) {
            if (!ApplyColourCode(p, colour, current))
                break;
            continue;
        }
        if (*p == '\n') {
            penX = x;
            penY += lineStep;
            continue;
        }
        if (!font->HasGlyph(*p))
            continue;
        AddFontGlyph(batch, font, penX, penY, scale, *p, current);
        int glyphWidth = 0, advance = 0;
        font->GetGlyphMetrics(*p, &glyphWidth, &advance);
        penX += static_cast<int>(static_cast<float>(advance) * scale);
    }
    return penX - x;
}

void DrawFontGlyph(const Font* font, bool glow, int x, int y, float scale, u8_t character, D3DCOLOR colour)
{
    IDirect3DTexture8* texture = FontTexture(font, glow);
    if (!texture || !font->HasGlyph(character))
        return;
    RenderSetTexture(0, texture);
    GlyphBatch batch;
    AddFontGlyph(batch, font, x, y, scale, character, colour);
}
