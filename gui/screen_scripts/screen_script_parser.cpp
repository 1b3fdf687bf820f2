#include "gui/screen_scripts/screen_script_parser.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "gui/controls/gui_primitives.h"
#include "gui/controls/gui_text.h"
#include "gui/screens/gui_textures.h"
#include "gui/screen_scripts/screen_script_words.h"

namespace {

// Sections being read, outermost first: a "load" of one of them would read it again without end.
using LoadChain = std::vector<const ScriptSection*>;

float Number(const ScriptCommand& command, int index)
{
    return GuiScriptNumber(command.Word(index));
}

u32_t Colour(const ScriptCommand& command, int index)
{
    return GuiScriptColour(command.Word(index));
}

s16_t Layer(const ScriptCommand& command, int index)
{
    return static_cast<s16_t>(GuiScriptInteger(command.Word(index)));
}

void AddLine(GuiScreen* screen, const ScriptCommand& command)
{
    auto* line = new GuiLine();
    screen->AddLine(line);
    line->startX = Number(command, 1);
    line->startY = Number(command, 2);
    line->endX = Number(command, 3);
    line->endY = Number(command, 4);
    line->startColour = Colour(command, 5);
    line->endColour = Colour(command, 6);
    line->zIndex = Layer(command, 7);
}

void SetBox(GuiRect* rect, const ScriptCommand& command)
{
    rect->x = Number(command, 1);
    rect->y = Number(command, 2);
    rect->width = Number(command, 3);
    rect->height = Number(command, 4);
    for (int i = 0; i < 4; ++i)
        rect->colours[i] = Colour(command, 5 + i);
    rect->SetZIndex(Layer(command, 9));
}

void AddText(GuiScreen* screen, const ScriptCommand& command)
{
    auto* text = new GuiText();
    screen->AddText(text);
    char* localized = GuiFindLocaleText(command.Word(4));
    text->Set(Number(command, 1), Number(command, 2), localized, Number(command, 3), FindFont(command.Word(6)));
    delete[] localized;
    text->colour = Colour(command, 5);
    text->SetZIndex(Layer(command, 7));
    // Only a command of exactly nine words carries an alignment.
    if (command.WordCount() == 9)
        text->alignment = GuiScriptInteger(command.Word(8));
}

void ApplyScreenProperty(GuiScreen* screen, const ScriptCommand& command)
{
    const char* key = command.Word(1);
    const int words = command.WordCount();
    if (CompareNoCase(key, "subscreen") == 0 && words >= 7) {
        screen->subscreenName.Assign(command.Word(2));
        for (int i = 0; i < 4; ++i)
            screen->subscreenRect[i] = Number(command, 3 + i);
    } else if (CompareNoCase(key, "isdialog") == 0 && words >= 3) {
        if (GuiScriptInteger(command.Word(2)) != 0)
            screen->isDialog = true;
    } else if (CompareNoCase(key, "coord") == 0 && words >= 6) {
        screen->left = Number(command, 2);
        screen->top = Number(command, 3);
        screen->width = Number(command, 4);
        screen->height = Number(command, 5);
    } else if (CompareNoCase(key, "sound") == 0 && words >= 3) {
        screen->sound = GuiPlaySound(command.Word(2), true);
    }
}

void Parse(ScriptSection* section, GuiScreen* screen, LoadChain& chain);

void Load(GuiScreen* screen, const char* word, LoadChain& chain)
{
    const char* dot = std::strchr(word, '.');
    const std::string fileName = dot ? std::string(word, static_cast<std::size_t>(dot - word)) : std::string(word);
    const char* path = dot ? dot + 1 : "";
    ScriptFile* file = GetScriptFile(fileName.c_str(), false);
    if (!file) {
        Log("WARNING: Couldn't load script file '%s'\n", fileName.c_str());
        return;
    }
    ScriptSection* found = file->FindSection(path);
    if (!found) {
        Log("WARNING: Couldn't find section '%s' in script file '%s'\n", path, fileName.c_str());
        return;
    }
    if (chain.size() > GUI_SCREEN_LOAD_DEPTH_LIMIT) {
        Log("WARNING: Skipped loading '%s': loads nested deeper than %u\n", word, GUI_SCREEN_LOAD_DEPTH_LIMIT);
        return;
    }
    for (const ScriptSection* reading : chain) {
        if (reading == found) {
            Log("WARNING: Skipped loading '%s': the section is already being read\n", word);
            return;
        }
    }
    Parse(found, screen, chain);
}

void Parse(ScriptSection* section, GuiScreen* screen, LoadChain& chain)
{
    if (!section)
        return;
    GuiScriptTarget target;
    target.generalTextures = g_gui.gameScreensLoaded;
    if (!screen) {
        screen = new GuiScreen(section->Name());
        GuiAddScreen(screen);
    }
    target.screen = screen;
    if (CompareNoCase(section->Name(), "FAILSCREEN") == 0)
        ConPrint(CON_MESSAGE_CONSOLE, "mam ta!\n");

    chain.push_back(section);
    for (const ScriptSection* child : section->children)
        GuiBuildControlSection(target, child->Name(), *child);

    for (const ScriptCommand& command : section->commands) {
        const char* keyword = command.Keyword();
        const int words = command.WordCount();
        if (CompareNoCase(keyword, "line") == 0) {
            if (words >= 8)
                AddLine(screen, command);
        } else if (CompareNoCase(keyword, "rect") == 0) {
            if (words >= 10) {
                auto* rect = new GuiRect();
                screen->AddRect(rect);
                SetBox(rect, command);
            }
        } else if (CompareNoCase(keyword, "poly") == 0) {
            if (words >= 10) {
                auto* poly = new GuiPoly();
                screen->AddPoly(poly);
                SetBox(poly, command);
            }
        } else if (CompareNoCase(keyword, "txt") == 0) {
            if (words >= 8)
                AddText(screen, command);
        } else if (CompareNoCase(keyword, "load") == 0) {
            if (words >= 2)
                Load(screen, command.Word(1), chain);
        } else if (CompareNoCase(keyword, "property") == 0) {
            ApplyScreenProperty(screen, command);
        }
    }
    chain.pop_back();
}

}  // namespace

void ScreenScriptParser(ScriptSection* section, GuiScreen* screen)
{
    LoadChain chain;
    Parse(section, screen, chain);
}
