#include "render/bitmap_font.h"

#include <cstring>

#include "core/colour_codes.h"

Font::Font(const char* name, IDirect3DTexture8* texture, IDirect3DTexture8* glowTexture, u8_t charHeight, s8_t base,
           u8_t cursorChar)
    : m_name(name),
      m_texture(texture),
      m_glowTexture(glowTexture),
      m_charHeight(charHeight),
      m_base(base),
      m_cursorChar(cursorChar)
{
    std::memset(m_glyphs, 0, sizeof m_glyphs);
}

void Font::SetGlyph(u8_t character, float u0, float v0, float u1, float v1, int width, int advance)
{
    m_glyphs[character] = {true, u0, v0, u1, v1, width, advance};
}

int Font::GetTextWidth(const char* text) const
{
    if (!text)
        return 0;
    int width = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == COLOUR_CODE) {
            if (!p[1])
                break;
            ++p;
            continue;
        }
        const Glyph& glyph = m_glyphs[static_cast<u8_t>(*p)];
        if (glyph.present)
            width += glyph.advance;
    }
    return width;
}

void Font::GetGlyphUV(u8_t character, float* u0, float* v0, float* u1, float* v1) const
{
    const Glyph& glyph = m_glyphs[character];
    *u0 = glyph.u0;
    *v0 = glyph.v0;
    *u1 = glyph.u1;
    *v1 = glyph.v1;
}

void Font::GetGlyphMetrics(u8_t character, int* width, int* advance) const
{
    const Glyph& glyph = m_glyphs[character];
    *width = glyph.width;
    *advance = glyph.advance;
}
