#include "gui/screen_scripts/screen_script_words.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/strings/text_case.h"
#include "gui/screens/gui_textures.h"
#include "render/textures/texture_manager.h"

namespace {

// Skips the sign: the rest must start like a decimal number.
bool LooksDecimal(const char* word)
{
    if (*word == '+' || *word == '-')
        ++word;
    if (*word == '.')
        ++word;
    return std::isdigit(static_cast<unsigned char>(*word)) != 0;
}

bool HexPrefix(const char* word)
{
    if (*word == '+' || *word == '-')
        ++word;
    return word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
}

}  // namespace

float GuiScriptNumber(const char* word)
{
    if (!word || !LooksDecimal(word) || HexPrefix(word))
        return 0.0f;
    const float value = std::strtof(word, nullptr);
    return std::isfinite(value) ? value : 0.0f;
}

s32_t GuiScriptInteger(const char* word)
{
    if (!word)
        return 0;
    errno = 0;
    const long long value = std::strtoll(word, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<s32_t>(value);
}

u32_t GuiScriptColour(const char* word)
{
    if (!word)
        return 0;
    const unsigned long long value = std::strtoull(word, nullptr, 16);
    return static_cast<u32_t>(value > 0xFFFFFFFFull ? 0xFFFFFFFFull : value);
}

s32_t GuiScriptAlignment(const char* word)
{
    if (CompareNoCase(word, "RIGHT") == 0)
        return 1;
    if (CompareNoCase(word, "LEFT") == 0)
        return 2;
    return 0;
}

IDirect3DTexture8* GuiScriptTexture(const GuiScriptTarget& target, const char* word)
{
    const std::string name = std::string("component\\gui\\") + (word ? word : "");
    return target.generalTextures ? TextureFindOrLoad(name.c_str()) : GuiTextureGet(name.c_str());
}
