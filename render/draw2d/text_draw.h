// Text on the screen: with the grid font (16 x 16 cells of one 256 x 256 texture) and with the
// front end's bitmap fonts, plus the two console views built on them: the open console panel and
// the message lines. Glyphs go through the streaming screen buffer in batches of at most 16 quads,
// one draw call per batch.
//
// In-band codes: 0x0E and a palette index set the colour to that palette entry with the alpha of
// the caller's colour (an index above 8 keeps the current colour); 0x0F restores the caller's
// colour; 0x0A starts a new line as each drawer says. Codes draw nothing.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class Font;

constexpr int TEXT_BATCH_GLYPHS = 16;
constexpr int PALETTE_SIZE = 9;

// RGB of palette index 0 to 8.
inline constexpr D3DCOLOR kTextPalette[PALETTE_SIZE] = {0x000000, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                                        0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// Integer position and cell size; a glyph covers one cell and moves x on by cellWidth; a line feed
// returns to the starting x on the same row. The caller binds the texture and sets the states.
void DrawGridText(int x, int y, int cellWidth, int cellHeight, const char* text, D3DCOLOR colour);
// The states a grid-font overlay over the frame draws with: blended by the glyphs' alpha, solid,
// without depth, stencil or culling, the built-in grid font bound on stage 0.
void SetGridTextStates();
// Binds the font's texture (glow or normal) and draws. alignment 1: x is the right edge, 2: x is
// the centre, else the left edge. A line feed returns to the x given and moves down one line.
// Returns the final x minus the x given; 0 when nothing could be drawn.
int DrawFontText(const Font* font, bool glow, int x, int y, float scale, const char* text, D3DCOLOR colour,
                 int alignment);
// One character placed as DrawFontText places it, in a batch of its own.
void DrawFontGlyph(const Font* font, bool glow, int x, int y, float scale, u8_t character, D3DCOLOR colour);

// The open console: the last lines of lines[0..lineCount) newest at the bottom, over a background,
// and the typed input line with a blinking cursor. Bitmap font when the front end has a default
// font, else the grid font.
void DrawConsolePanel(char** lines, int lineCount, const char* input, int inputLength, D3DCOLOR backgroundColour,
                      D3DCOLOR textColour);
// The message console's lines (stamps: each line's creation tick, 0 for none) and, while typing,
// its input line. The bitmap variant fades lines out after 5.5 s and empties them after 6 s.
void DrawMessageLines(bool typing, char** lines, int lineCount, const char* input, int inputLength, u32_t* stamps,
                      D3DCOLOR unused, D3DCOLOR textColour);
