#include "render/draw2d/bitmap_font.h"

#include "core/strings/colour_codes.h"
#include "render/textures/texture_manager.h"

Font::Font(const char* name) : m_name(name)
{
    IndexSlots();
}

Font::Font(const char* name, IDirect3DTexture8* texture, IDirect3DTexture8* glowTexture, u8_t charHeight, s8_t base,
           u8_t cursorChar)
    : m_name(name),
      m_texture(texture),
      m_glowTexture(glowTexture),
      m_charHeight(charHeight),
      m_base(base),
      m_cursorChar(static_cast<s8_t>(cursorChar))
{
    IndexSlots();
}

void Font::IndexSlots()
{
    for (s16_t& slot : m_firstSlot)
        slot = -1;
    for (u32_t i = m_glyphCount; i-- > 0;)
        m_firstSlot[m_codes[i]] = static_cast<s16_t>(i);
}

void Font::AddSlot(u8_t character, float u0, float v0, float u1, float v1, int width, int advance)
{
    const u32_t slot = m_glyphCount++;
    m_codes[slot] = character;
    m_widths[slot] = static_cast<u8_t>(width);
    m_advances[slot] = static_cast<u8_t>(advance);
    m_rects[slot][0] = u0;
    m_rects[slot][1] = v0;
    m_rects[slot][2] = u1;
    m_rects[slot][3] = v1;
    if (m_firstSlot[character] < 0)
        m_firstSlot[character] = static_cast<s16_t>(slot);
}

void Font::SetGlyph(u8_t character, float u0, float v0, float u1, float v1, int width, int advance)
{
    const int slot = FindGlyph(character);
    if (slot < 0) {
        if (m_glyphCount < FONT_GLYPH_SLOTS)
            AddSlot(character, u0, v0, u1, v1, width, advance);
        return;
    }
    m_widths[slot] = static_cast<u8_t>(width);
    m_advances[slot] = static_cast<u8_t>(advance);
    m_rects[slot][0] = u0;
    m_rects[slot][1] = v0;
    m_rects[slot][2] = u1;
    m_rects[slot][3] = v1;
}

int Font::GetGlyphChar(int index) const
{
    if (index < 0 || static_cast<u32_t>(index) >= m_glyphCount)
        return -1;
    return m_codes[index];
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
        const int slot = m_firstSlot[static_cast<u8_t>(*p)];
        if (slot >= 0)
            width += m_advances[slot];
    }
    return width;
}

void Font::GetGlyphUV(u8_t character, float* u0, float* v0, float* u1, float* v1) const
{
    const int slot = m_firstSlot[character];
    if (slot < 0) {
        *u0 = *v0 = *u1 = *v1 = 0.0f;
        return;
    }
    *u0 = m_rects[slot][0];
    *v0 = m_rects[slot][1];
    *u1 = m_rects[slot][2];
    *v1 = m_rects[slot][3];
}

void Font::GetGlyphMetrics(u8_t character, int* width, int* advance) const
{
    const int slot = m_firstSlot[character];
    *width = slot < 0 ? 0 : m_widths[slot];
    *advance = slot < 0 ? 0 : m_advances[slot];
}

float Font::U(double x) const
{
    return m_textureWidth ? static_cast<float>(x / m_textureWidth) : 0.0f;
}

float Font::V(double y) const
{
    return m_textureHeight ? static_cast<float>(y / m_textureHeight) : 0.0f;
}

bool Font::AddGlyph(int x, int y, int width, int advance, u8_t character)
{
    if (m_glyphCount >= FONT_GLYPH_SLOTS)
        return false;
    AddSlot(character, U(x), V(y), U(x + width), V(y + m_charHeight), width, advance);
    return true;
}

bool Font::AdjustGlyph(int index, int dx, int dyRows, int dwidth, int dadvance)
{
    if (index < 0 || static_cast<u32_t>(index) >= m_glyphCount)
        return false;
    float* rect = m_rects[index];
    const float du = U(dx), dv = V(static_cast<double>(dyRows) * m_charHeight);
    rect[0] += du;
    rect[2] += du + U(dwidth);
    rect[1] += dv;
    rect[3] += dv;
    m_widths[index] = static_cast<u8_t>(m_widths[index] + dwidth);
    m_advances[index] = static_cast<u8_t>(m_advances[index] + dadvance);
    return true;
}

void Font::ShiftGlyphChar(int index, int delta)
{
    if (index < 0 || static_cast<u32_t>(index) >= m_glyphCount)
        return;
    m_codes[index] = static_cast<u8_t>(m_codes[index] + delta);
    IndexSlots();
}

void Font::FindTexturesAgain()
{
    m_texture = TextureFindOrLoad(m_textureName.Text());
    m_glowTexture = m_glowName.Length() ? TextureFindOrLoad(m_glowName.Text()) : nullptr;
}

void Font::ReloadTextures()
{
    TextureRelease(m_texture);
    if (m_glowTexture != m_texture)
        TextureRelease(m_glowTexture);
    FindTexturesAgain();
}
