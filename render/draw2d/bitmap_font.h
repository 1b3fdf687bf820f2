// A bitmap font: a texture (and an optional glow texture of the same layout) and a table of up to
// 256 glyph slots, each a character code, a texture rectangle, a drawn width and an advance. The text
// drawers read it by character code (the first slot of a code answers); the front end loads the fonts
// from the "font" script (gui/texts/fonts.h), and the tuning operations edit and save them.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

struct ScriptCommand;
struct ScriptSection;

constexpr int FONT_GLYPH_SLOTS = 256;
// Where the "texture" and "glow" names of a font section are looked for.
#define FONT_TEXTURE_FOLDER "component\\gui\\"

class Font {
public:
    // An empty font of that name (no slot in use); the script loader and the tests fill it.
    explicit Font(const char* name);
    Font(const char* name, IDirect3DTexture8* texture, IDirect3DTexture8* glowTexture, u8_t charHeight, s8_t base,
         u8_t cursorChar);

    // Fills the first slot of that code, or the next free slot when the code has none (nothing when the
    // table is full).
    void SetGlyph(u8_t character, float u0, float v0, float u1, float v1, int width, int advance);

    // Reads the font from its section of the "font" script. Glyph lines past the table's last slot are
    // ignored, with one line in the log.
    void Load(const ScriptSection& section);
    // Writes the font as a section of the "font" script to the file name + ".scr"; false when the file
    // cannot be written.
    bool Save() const;

    const char* GetName() const { return m_name.Text(); }
    IDirect3DTexture8* GetTexture() const { return m_texture; }
    IDirect3DTexture8* GetGlowTexture() const { return m_glowTexture; }
    const char* GetTextureName() const { return m_textureName.Text(); }
    const char* GetGlowName() const { return m_glowName.Text(); }
    u32_t GetTextureWidth() const { return m_textureWidth; }
    u32_t GetTextureHeight() const { return m_textureHeight; }
    u8_t GetCharHeight() const { return m_charHeight; }
    s8_t GetBase() const { return m_base; }
    u8_t GetCursorChar() const { return static_cast<u8_t>(m_cursorChar); }
    u8_t GetCursorFlag() const { return m_cursorFlag; }
    u32_t GetGlyphCount() const { return m_glyphCount; }

    // The first slot holding the code; -1 when none.
    int FindGlyph(u8_t character) const { return m_firstSlot[character]; }
    bool HasGlyph(u8_t character) const { return m_firstSlot[character] >= 0; }
    // The code of a slot; -1 for an index outside the slots in use.
    int GetGlyphChar(int index) const;
    // Sum of the advances; characters without a glyph and colour codes count 0.
    int GetTextWidth(const char* text) const;
    // The glyph's texture rectangle; all 0 without a glyph.
    void GetGlyphUV(u8_t character, float* u0, float* v0, float* u1, float* v1) const;
    // Width and advance in pixels; both 0 without a glyph.
    void GetGlyphMetrics(u8_t character, int* width, int* advance) const;

    // Tuning: a glyph at the pixel rectangle (x, y, width, char height); false when the table is full.
    bool AddGlyph(int x, int y, int width, int advance, u8_t character);
    // Moves a slot's rectangle by dx pixels and dyRows rows, widens it by dwidth pixels (right edge and
    // width) and adds dadvance to its advance. False for an index outside the slots in use.
    bool AdjustGlyph(int index, int dx, int dyRows, int dwidth, int dadvance);
    // Adds delta to a slot's code; nothing for an index outside the slots in use.
    void ShiftGlyphChar(int index, int delta);
    // Releases both textures and looks them up again by name (the glow only when it has a name).
    void ReloadTextures();
    // Looks both textures up again by name, releasing nothing: for after the textures were dropped.
    void FindTexturesAgain();

private:
    void AddSlot(u8_t character, float u0, float v0, float u1, float v1, int width, int advance);
    void IndexSlots();
    void SetTexture(const char* name);
    void SetGlow(const char* name);
    void GlyphLine(const ScriptCommand& command);
    // The texture coordinate of a pixel position; 0 while the texture has no size.
    float U(double x) const;
    float V(double y) const;

    EngineString m_name;
    IDirect3DTexture8* m_texture = nullptr;
    IDirect3DTexture8* m_glowTexture = nullptr;
    EngineString m_textureName;
    EngineString m_glowName;
    u32_t m_textureWidth = 0;
    u32_t m_textureHeight = 0;
    u8_t m_charHeight = 0;
    s8_t m_base = 0;
    s8_t m_cursorChar = 0;
    u8_t m_cursorFlag = 0;
    // The table: five parallel arrays of FONT_GLYPH_SLOTS.
    u8_t m_widths[FONT_GLYPH_SLOTS] = {};
    u8_t m_advances[FONT_GLYPH_SLOTS] = {};
    u8_t m_codes[FONT_GLYPH_SLOTS] = {};
    float m_rects[FONT_GLYPH_SLOTS][4] = {};  // left, top, right, bottom
    u32_t m_glyphCount = 0;
    u32_t m_layoutX = 0;
    u32_t m_layoutY = 0;
    // The first slot of each code, -1 for none: the drawers ask by code for every character they draw.
    s16_t m_firstSlot[256];
    bool m_overflowLogged = false;
};
