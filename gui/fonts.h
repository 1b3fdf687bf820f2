// The front end's bitmap fonts: a texture (and an optional glow texture) with one glyph rectangle,
// width and advance per character. The front end loads them with its screens; until then no font
// is loaded, there is no default font, and the consoles draw with the grid font.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

class Font {
public:
    struct Glyph {
        bool present;
        float u0, v0, u1, v1;  // texture rectangle
        int width;             // drawn width in pixels
        int advance;           // pixels to the next character
    };

    Font(const char* name, IDirect3DTexture8* texture, IDirect3DTexture8* glowTexture, u8_t charHeight, s8_t base,
         u8_t cursorChar);

    void SetGlyph(u8_t character, float u0, float v0, float u1, float v1, int width, int advance);

    const char* GetName() const { return m_name.Text(); }
    IDirect3DTexture8* GetTexture() const { return m_texture; }
    IDirect3DTexture8* GetGlowTexture() const { return m_glowTexture; }
    u8_t GetCharHeight() const { return m_charHeight; }
    s8_t GetBase() const { return m_base; }
    u8_t GetCursorChar() const { return m_cursorChar; }
    bool HasGlyph(u8_t character) const { return m_glyphs[character].present; }
    // Sum of the advances; characters without a glyph and colour codes count 0.
    int GetTextWidth(const char* text) const;
    // The glyph's texture rectangle; all 0 without a glyph.
    void GetGlyphUV(u8_t character, float* u0, float* v0, float* u1, float* v1) const;
    // Width and advance in pixels; both 0 without a glyph.
    void GetGlyphMetrics(u8_t character, int* width, int* advance) const;

private:
    EngineString m_name;
    IDirect3DTexture8* m_texture;
    IDirect3DTexture8* m_glowTexture;
    u8_t m_charHeight;
    s8_t m_base;
    u8_t m_cursorChar;
    Glyph m_glyphs[256];
};

// The font the front end loaded first is g_gui.defaultFont (gui/gui.h).

// The loaded font of that name (without regard to case), or null.
Font* FindFont(const char* name);
