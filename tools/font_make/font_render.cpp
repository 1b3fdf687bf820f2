// Glyph rendering with stb_truetype, the glow's blur, the TGA images and the script section.
#include "tools/font_make/font_description.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/files/byte_io.h"
#include "core/types.h"

#define STB_TRUETYPE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wduplicated-branches"
#endif
#include <stb/stb_truetype.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace fontmake {

namespace {

// The glow: the coverage blurred by this many box passes of this radius, then strengthened.
constexpr int kGlowRadius = 2;
constexpr int kGlowPasses = 2;
constexpr int kGlowGain = 2;

struct PlacedGlyph {
    int code = 0;
    int x = 0, y = 0;  // cell's top left in the texture
    int width = 0, advance = 0;
};

// Square uncompressed 32-bit TGA, bottom row first: white, the alpha from the coverage. The texture
// manager makes an alpha map of every texture it loads, and its reader takes exactly this form (it
// stores the file's last row as the map's first), so the map matches the picture and the load logs
// no warning.
std::string WhiteImage(const std::vector<u8_t>& alpha, int side)
{
    std::string bytes(18 + std::size_t(side) * side * 4, '\0');
    ByteBufferWriter writer(bytes.data(), bytes.size());
    writer.WriteU8(0);  // no image id
    writer.WriteU8(0);  // no colour map
    writer.WriteU8(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        writer.WriteU8(0);  // colour map fields
    writer.WriteU16(0);     // x origin
    writer.WriteU16(0);     // y origin
    writer.WriteU16(static_cast<u16_t>(side));
    writer.WriteU16(static_cast<u16_t>(side));
    writer.WriteU8(32);
    writer.WriteU8(0x08);  // bottom row first, 8 alpha bits
    for (int y = side - 1; y >= 0; --y) {
        const u8_t* row = alpha.data() + std::size_t(y) * side;
        for (int x = 0; x < side; ++x) {
            const u8_t bgra[4] = {255, 255, 255, row[x]};
            writer.WriteBytes(bgra, 4);
        }
    }
    return bytes;
}

// One box pass along rows (step 1) or columns (step width), edges counting as empty.
void BoxPass(std::vector<int>& values, int width, int height, bool alongRows)
{
    const std::vector<int> source = values;
    const int lines = alongRows ? height : width;
    const int length = alongRows ? width : height;
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i) {
            int sum = 0;
            for (int k = std::max(0, i - kGlowRadius); k <= std::min(length - 1, i + kGlowRadius); ++k)
                sum += alongRows ? source[std::size_t(line) * width + k] : source[std::size_t(k) * width + line];
            const int value = sum / (2 * kGlowRadius + 1);
            if (alongRows)
                values[std::size_t(line) * width + i] = value;
            else
                values[std::size_t(i) * width + line] = value;
        }
    }
}

std::vector<u8_t> Glow(const std::vector<u8_t>& coverage, int width, int height)
{
    std::vector<int> values(coverage.begin(), coverage.end());
    for (int pass = 0; pass < kGlowPasses; ++pass) {
        BoxPass(values, width, height, true);
        BoxPass(values, width, height, false);
    }
    std::vector<u8_t> glow(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        glow[i] = static_cast<u8_t>(std::min(255, values[i] * kGlowGain));
    return glow;
}

}  // namespace

bool MakeFont(const FontRequest& request, const std::string& trueTypeBytes, MadeFont* out, std::string* error)
{
    const auto* data = reinterpret_cast<const unsigned char*>(trueTypeBytes.data());
    stbtt_fontinfo info;
    const int offset = trueTypeBytes.size() >= 12 ? stbtt_GetFontOffsetForIndex(data, 0) : -1;
    if (offset < 0 || !stbtt_InitFont(&info, data, offset)) {
        *error = request.name + ": not a TrueType font";
        return false;
    }
    const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(request.pixelHeight));
    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    const int above = static_cast<int>(std::ceil(static_cast<float>(ascent) * scale));
    const int below = static_cast<int>(std::ceil(static_cast<float>(-descent) * scale));
    const int charHeight = above + below;
    if (charHeight < 1 || charHeight > 127) {
        *error = request.name + ": character height out of 1 to 127";
        return false;
    }

    // Cells left to right, rows of the character height apart by the gap.
    std::vector<PlacedGlyph> glyphs;
    int penX = 0, penY = 0;
    for (int code = request.firstCode; code <= request.lastCode; ++code) {
        const int index = stbtt_FindGlyphIndex(&info, code);
        if (index == 0 && code != ' ')
            continue;
        int advanceUnits = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&info, index, &advanceUnits, &bearing);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
        PlacedGlyph glyph;
        glyph.code = code;
        glyph.advance = std::clamp(static_cast<int>(std::lround(static_cast<float>(advanceUnits) * scale)), 0, 255);
        glyph.width = std::clamp(std::max(glyph.advance, x1), 1, kTextureWidth);
        glyph.width = std::min(glyph.width, 255);
        if (penX + glyph.width > kTextureWidth) {
            penX = 0;
            penY += charHeight + kCellGap;
        }
        glyph.x = penX;
        glyph.y = penY;
        penX += glyph.width + kCellGap;
        glyphs.push_back(glyph);
    }
    if (penY + charHeight + kCellGap > kTextureWidth) {
        *error = request.name + ": the glyphs do not fit a 512 x 512 texture";
        return false;
    }
    const int height = kTextureWidth;

    std::vector<u8_t> coverage(std::size_t(kTextureWidth) * height, 0);
    for (const PlacedGlyph& glyph : glyphs) {
        const int index = stbtt_FindGlyphIndex(&info, glyph.code);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0)
            continue;
        std::vector<u8_t> bitmap(std::size_t(w) * h, 0);
        stbtt_MakeGlyphBitmap(&info, bitmap.data(), w, h, w, scale, scale, index);
        // Into the cell, the baseline `above` rows down; what falls outside the cell is cut.
        for (int j = 0; j < h; ++j) {
            const int row = above + y0 + j;
            if (row < 0 || row >= charHeight)
                continue;
            for (int i = 0; i < w; ++i) {
                const int column = x0 + i;
                if (column < 0 || column >= glyph.width)
                    continue;
                coverage[std::size_t(glyph.y + row) * kTextureWidth + glyph.x + column] =
                    bitmap[std::size_t(j) * w + i];
            }
        }
    }

    std::string section = "<" + request.name + ">\n";
    section += "\ttexture " + GlyphTextureName(request) + ";\n";
    section += "\tglow " + GlowTextureName(request) + ";\n";
    section += "\tchar_height " + std::to_string(charHeight) + ";\n";
    section += "\tbase " + std::to_string(above) + ";\n";
    section += "\tcursor 95 1;\n";
    section += "// code x y width advance\n";
    for (const PlacedGlyph& glyph : glyphs) {
        char line[64];
        std::snprintf(line, sizeof line, "\t%d %d %d %d %d;\n", glyph.code, glyph.x, glyph.y, glyph.width,
                      glyph.advance);
        section += line;
    }
    section += "</" + request.name + ">\n";

    out->section = section;
    out->glyphImage = WhiteImage(coverage, kTextureWidth);
    out->glowImage = WhiteImage(Glow(coverage, kTextureWidth, height), kTextureWidth);
    return true;
}

}  // namespace fontmake
