#include "gui/texts/fonts.h"

#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "gui/gui_cvars.h"
#include "render/draw2d/hud_input.h"

namespace {

std::vector<Font*> g_fonts;

}  // namespace

void FontsLoad()
{
    FontsFree();
    ScriptFile* script = GetScriptFile("font", false);
    if (script) {
        for (const ScriptSection* section : script->Root()->children) {
            Font* font = new Font(section->Name());
            font->Load(*section);
            g_fonts.push_back(font);
        }
    }
    g_hudInput.defaultFont = FindFont("gui");
    // Without the default font no screen shows a letter: say so, and where the script went wrong.
    if (!g_hudInput.defaultFont) {
        if (script && script->WarningCount() > 0)
            LogFailure("\nWARNING: Fonts: no font \"gui\", the menus show no text: the script was refused: %s\n",
                       script->FirstWarning());
        else
            LogFailure("\nWARNING: Fonts: no font \"gui\" in script\\font.scr, the menus show no text\n");
    }
}

void FontsFree()
{
    for (Font* font : g_fonts)
        delete font;
    g_fonts.clear();
    g_hudInput.defaultFont = nullptr;
}

void FontsReloadTextures()
{
    for (Font* font : g_fonts)
        font->FindTexturesAgain();
}

Font* FindFont(const char* name)
{
    if (!name)
        return nullptr;
    for (Font* font : g_fonts) {
        if (CompareNoCase(font->GetName(), name) == 0)
            return font;
    }
    const std::string localized = std::string(name) + "_" + language.String();
    for (Font* font : g_fonts) {
        if (CompareNoCase(font->GetName(), localized.c_str()) == 0)
            return font;
    }
    return nullptr;
}

Font* FontDefault()
{
    return g_hudInput.defaultFont;
}

int FontCount()
{
    return static_cast<int>(g_fonts.size());
}

Font* FontAt(int index)
{
    return index >= 0 && index < FontCount() ? g_fonts[static_cast<std::size_t>(index)] : nullptr;
}
