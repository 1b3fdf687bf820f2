// A font's section of the "font" script: reading it into the glyph table and writing it back.
#include "render/draw2d/bitmap_font.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/log.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "platform/file_system.h"
#include "render/textures/texture_manager.h"

namespace {

// A decimal integer as the script gives it; a word that is no number gives 0.
int Number(const char* word)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(word, &end, 10);
    if (end == word || errno == ERANGE)
        return 0;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// The code of an explicit glyph line: a decimal number (its low 8 bits), or a character in single or
// double quotes, where a backslash after the opening quote takes the character after it ('\'' is the
// quote). Anything else, an unclosed quote too, gives 0.
u8_t ExplicitCode(const char* word)
{
    if (word[0] >= '0' && word[0] <= '9')
        return static_cast<u8_t>(Number(word));
    const char quote = word[0];
    if (quote != '\'' && quote != '"')
        return 0;
    if (word[1] == '\\' && word[2] && word[3] == quote)
        return static_cast<u8_t>(word[2]);
    if (word[1] && word[2] == quote)
        return static_cast<u8_t>(word[1]);
    return 0;
}

// The code of an automatically placed glyph: a word of at most one character is that character (0
// for the empty word), a longer one a decimal number.
int AutomaticCode(const char* word)
{
    const std::size_t length = std::strlen(word);
    if (length <= 1)
        return static_cast<u8_t>(word[0]);
    return Number(word);
}

const char* AfterLastBackslash(const char* path)
{
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

}  // namespace

void Font::SetTexture(const char* name)
{
    const std::string path = std::string(FONT_TEXTURE_FOLDER) + name;
    m_texture = TextureFindOrLoad(path.c_str());
    m_textureWidth = 0;
    m_textureHeight = 0;
    D3DSURFACE_DESC desc = {};
    if (m_texture && SUCCEEDED(m_texture->GetLevelDesc(0, &desc))) {
        m_textureWidth = desc.Width;
        m_textureHeight = desc.Height;
    }
    m_textureName.Assign(path.c_str());
}

void Font::SetGlow(const char* name)
{
    const std::string path = std::string(FONT_TEXTURE_FOLDER) + name;
    m_glowTexture = TextureFindOrLoad(path.c_str());
    m_glowName.Assign(path.c_str());
}

void Font::GlyphLine(const ScriptCommand& command)
{
    const int tokens = command.WordCount();
    if (tokens != 3 && tokens != 4 && tokens != 5)
        return;
    // Both slots of a shared picture need room; what does not fit is left out.
    const bool shared = tokens == 4 && AutomaticCode(command.Word(3)) < 255;
    if (m_glyphCount + (shared ? 2u : 1u) > FONT_GLYPH_SLOTS) {
        if (!m_overflowLogged)
            Log("WARNING: font '%s' has more than %d glyphs; the rest are left out\n", GetName(), FONT_GLYPH_SLOTS);
        m_overflowLogged = true;
        if (m_glyphCount >= FONT_GLYPH_SLOTS)
            return;
    }

    if (tokens == 5) {
        const u8_t code = ExplicitCode(command.Word(0));
        const int x = Number(command.Word(1));
        const int y = Number(command.Word(2));
        const u8_t width = static_cast<u8_t>(Number(command.Word(3)));
        const u8_t advance = static_cast<u8_t>(Number(command.Word(4)));
        const double rowTop = y == -1 ? static_cast<double>(m_layoutY) : static_cast<double>(y);
        AddSlot(code, U(x), V(rowTop), U(static_cast<double>(x) + width), V(rowTop + m_charHeight), width, advance);
        return;
    }

    const u8_t width = static_cast<u8_t>(Number(command.Word(0)));
    const u8_t advance = static_cast<u8_t>(Number(command.Word(1)));
    const u8_t code = static_cast<u8_t>(AutomaticCode(command.Word(2)));
    if (static_cast<std::uint64_t>(m_layoutX) + width > m_textureWidth) {
        m_layoutX = 0;
        m_layoutY += m_charHeight;
    }
    const float left = U(m_layoutX), top = V(m_layoutY);
    const float right = U(static_cast<double>(m_layoutX) + width),
                bottom = V(static_cast<double>(m_layoutY) + m_charHeight);
    m_layoutX += width;
    AddSlot(code, left, top, right, bottom, width, advance);
    if (shared && m_glyphCount < FONT_GLYPH_SLOTS)
        AddSlot(static_cast<u8_t>(AutomaticCode(command.Word(3))), left, top, right, bottom, width, advance);
}

void Font::Load(const ScriptSection& section)
{
    for (const ScriptCommand& command : section.commands) {
        const char* keyword = command.Keyword();
        if (CompareNoCase(keyword, "texture") == 0) {
            if (command.Word(1)[0])
                SetTexture(command.Word(1));
        } else if (CompareNoCase(keyword, "glow") == 0) {
            if (command.Word(1)[0])
                SetGlow(command.Word(1));
        } else if (CompareNoCase(keyword, "char_height") == 0) {
            m_charHeight = static_cast<u8_t>(Number(command.Word(1)));
        } else if (CompareNoCase(keyword, "base") == 0) {
            m_base = static_cast<s8_t>(Number(command.Word(1)));
        } else if (CompareNoCase(keyword, "cursor") == 0) {
            m_cursorChar = static_cast<s8_t>(Number(command.Word(1)));
            m_cursorFlag = Number(command.Word(2)) == 1 ? 1 : 0;
        } else if (CompareNoCase(keyword, "EOLN") == 0) {
            m_layoutX = 0;
            m_layoutY += m_charHeight;
        } else {
            GlyphLine(command);
        }
    }
}

bool Font::Save() const
{
    const std::string path = std::string(GetName()) + ".scr";
    std::FILE* file = PlatformOpenFile(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "<%s>\n", GetName());
    std::fprintf(file, "\t texture %s;\n", AfterLastBackslash(m_textureName.Text()));
    std::fprintf(file, "\t glow %s;\n", AfterLastBackslash(m_glowName.Text()));
    std::fprintf(file, "\t char_height %d;\n", m_charHeight);
    std::fprintf(file, "\t base %d;\n", static_cast<u8_t>(m_base));
    std::fprintf(file, "\t cursor %d %d;\n", m_cursorChar, m_cursorFlag);
    std::fprintf(file, "//--------\n");
    for (u32_t i = 0; i < m_glyphCount; ++i) {
        const int x = static_cast<int>(static_cast<double>(m_rects[i][0]) * m_textureWidth);
        const int y = static_cast<int>(static_cast<double>(m_rects[i][1]) * m_textureHeight);
        std::fprintf(file, "\t%d %d %d %d %d;\n", m_codes[i], x, y, m_widths[i], m_advances[i]);
    }
    std::fprintf(file, "</%s>\n", GetName());
    return std::fclose(file) == 0;
}
