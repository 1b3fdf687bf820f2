// Bitmap fonts made from TrueType files: each font of a plain-text description is rendered with
// stb_truetype into a glyph texture (white, the coverage in alpha) and a glow texture of the same
// layout (the coverage blurred), both 512 x 512 pixels, and described by a section of the "font"
// script with explicit five-token glyph lines. Lines of a description:
//   font <name> <TrueType file> <pixel height> <first code> <last code>
// The TrueType file is named relative to the fonts folder given to the maker; the codes (0 to 255)
// are taken as the Unicode code points of the same value, and those the TrueType file has no glyph
// for are left out (the blank is always kept). '#' starts a comment.
// A font's base is its baseline's distance from the top of a row: the drawers place a glyph's cell
// (char height - base) x scale below the y they are given, so that y is about the baseline less the
// ascent, the top of the text.
#pragma once
#include <string>
#include <vector>

namespace fontmake {

// The textures are square: this is their height too.
constexpr int kTextureWidth = 512;
// Pixels kept free around every glyph cell so that the glow's blur does not reach a neighbour.
constexpr int kCellGap = 4;

struct FontRequest {
    std::string name;
    std::string trueTypeFile;
    int pixelHeight = 0;
    int firstCode = 0;
    int lastCode = 0;
};

struct FontDescription {
    std::vector<FontRequest> fonts;
};

// False with a message that names the line when the text is not a description.
bool ParseFontDescription(const std::string& text, FontDescription* out, std::string* error);

struct MadeFont {
    std::string section;     // "<name>" ... "</name>", for the script "font"
    std::string glyphImage;  // "<name>.tga": square uncompressed 32-bit TGA, bottom row first
    std::string glowImage;   // "<name>_glow.tga", the same layout
};

// Renders one font from the TrueType file's bytes. False with a message when the bytes are no
// TrueType font or the glyphs do not fit a 512 x 512 texture.
bool MakeFont(const FontRequest& request, const std::string& trueTypeBytes, MadeFont* out, std::string* error);

// The script section's name of the glyph and glow textures (without folder and extension).
std::string GlyphTextureName(const FontRequest& request);
std::string GlowTextureName(const FontRequest& request);

// Makes every font of the description: the textures go to dataRoot/component/gui/, the sections,
// in the description's order, to dataRoot/script/font.scr.
bool MakeFontsFromDescription(const std::string& descriptionPath, const std::string& fontsFolder,
                              const std::string& dataRoot, std::string* error);

}  // namespace fontmake
