#include "game/commands/mission_commands.h"

#include <cstdio>
#include <string>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "game/accounts/accounts.h"
#include "game/commands/game_commands.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/screen_manager.h"
#include "map/terrain/static_map_buffers.h"
#include "platform/file_system.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "render/textures/texture_manager.h"
#include "scene/meshes/gpu_anim_buffers.h"

ConsoleVar gxprintscript("gxprintscript", GamePrintScript);
ConsoleVar gxsetmode("gxsetmode", GameSetMode);

namespace {

// The variables of "config.def", in the file's order.
constexpr const char* kConfigVariables[] = {
    "rbwindowed",  "riwidth",   "riheight",   "rirefresh",      "rbdrawstats",  "rbshowboxes",   "rbtraceraytest",
    "rbactordirs", "rbdrawfps", "rbshowpins", "rbshowzones",    "gbtop",        "gbthirdperson", "gbfastmove",
    "gbghost",     "gbwalk",    "gb_godmode", "gui_cursorinfo", "gbteskenable",
};

// The map's briefing: its "mission.inf" script, the briefing screen's text from its form (after the
// script, whose variables the form may show) and the weapons its "mission.wpn" chooses.
void FillBriefing()
{
    const std::string folder = std::string("mission\\") + dsmap.String() + "\\";
    ConExecFile((folder + "mission.inf").c_str());
    GuiSetItemForm("BRIEFING", "BRIEFING");
    DefFile* weapons = DefFileLoad((folder + "mission.wpn").c_str());
    if (!weapons)
        return;
    struct Choice {
        const char* key;
        ConsoleVar& variable;
    };
    const Choice choices[] = {
        {"setprimary", gs_curprimaryweapon},
        {"setsecondary", gs_cursecondaryweapon},
        {"setexplosive", gs_curexplosiveweapon},
    };
    for (const Choice& choice : choices) {
        const DefEntry* entry = DefFileFindEntry(weapons->first, choice.key);
        if (entry && entry->valueCount > 0)
            choice.variable.SetString(entry->Value(0));
    }
    DefFileRelease(weapons);
}

void PrintSection(const ScriptSection& section, std::string& indent)
{
    ConPrint(0, "%s<%s>\n", indent.c_str(), section.Name());
    const std::size_t outer = indent.size();
    indent.append(3, ' ');
    for (const ScriptCommand& command : section.commands) {
        const int count = command.WordCount();
        if (count <= 1) {
            ConPrint(0, "%s%s;\n", indent.c_str(), command.Keyword());
            continue;
        }
        ConPrint(0, "%s%s ", indent.c_str(), command.Word(0));
        for (int i = 1; i < count - 1; ++i)
            ConPrint(0, "%s ", command.Word(i));
        ConPrint(0, "%s;\n", command.Word(count - 1));
    }
    for (const ScriptSection* child : section.children)
        PrintSection(*child, indent);
    indent.resize(outer);
    ConPrint(0, "%s</%s>\n", indent.c_str(), section.Name());
}
}  // namespace

int ParseModeText(const char* text, s32_t numbers[3])
{
    numbers[0] = numbers[1] = numbers[2] = 0;
    if (!text)
        return 0;
    int count = 0;
    bool inNumber = false;
    for (const char* p = text; *p && count < 3; ++p) {
        if (*p >= '0' && *p <= '9') {
            // Digits beyond what a mode can use are read but change nothing.
            if (numbers[count] < 100000000)
                numbers[count] = numbers[count] * 10 + (*p - '0');
            inNumber = true;
        } else if (inNumber) {
            inNumber = false;
            ++count;
        }
    }
    if (inNumber && count < 3)
        ++count;
    return count;
}

bool GameQuickMissionChosen()
{
    return g_game.quickMission;
}

s32_t GameFillMissionInfo(const char*)
{
    FillBriefing();
    g_game.quickMission = false;
    return 0;
}

s32_t GameFillQuickMissionInfo(const char* arguments)
{
    GameFillMissionInfo(arguments);
    g_game.quickMission = true;
    return 0;
}

s32_t GamePrintScript(const char* arguments)
{
    const char* name = arguments ? arguments : "";
    ScriptFile* script = GetScriptFile(name, false);
    if (!script) {
        ConPrint(0, "No such script file: %s", name);
        return 0;
    }
    ConPrint(0, "-----Script '%s'-----\n", name);
    std::string indent;
    PrintSection(*script->Root(), indent);
    return 0;
}

s32_t GameSetMode(const char* arguments)
{
    s32_t mode[3];
    if (ParseModeText(arguments, mode) < 2)
        return -1;
    const s32_t width = mode[0], height = mode[1], bits = mode[2];
    RenderReleaseDeviceResources();
    if (g_render.device)
        g_render.device->ResourceManagerDiscardBytes(0);
    if (RenderSetDisplayModeLadder(width, height, rbwindowed.Bool(), 0) != 0) {
        ConPrint(0,
                 "\x0E\x02"
                 "Error while setting display mode !\n");
        return -1;
    }
    RenderBuildStaticBuffers();
    GpuAnimUpload();
    TexturesRecreate();
    GuiSetScreenSize(width, height);
    riwidth.SetInt(width);
    riheight.SetInt(height);
    ConPrint(0, "Mode set to %dx%d %dbit\n", width, height, bits);
    return 0;
}

std::string GameConfigText()
{
    std::string text;
    for (const char* name : kConfigVariables) {
        const ConsoleVar* variable = FindCVar(name);
        text += name;
        text += ' ';
        text += variable ? variable->ValueToText() : "";
        text += '\n';
    }
    return text;
}

s32_t GameApplyGraphSettings(const char*)
{
    s32_t mode[3];
    // A mode text without a size (an empty choice, say) would put a window of no size into the file
    // the next start reads: it is refused.
    if (ParseModeText(gs_graphmode.String(), mode) < 2 || mode[0] <= 0 || mode[1] <= 0)
        return -1;
    if (mode[0] == riwidth.Int() && mode[1] == riheight.Int())
        return 0;
    riwidth.SetInt(mode[0]);
    riheight.SetInt(mode[1]);
    const std::string text = GameConfigText();
    if (!PlatformWriteFileAtomically("config.def", text.data(), text.size()))
        return -1;
    GuiWriteMsg("_fnmsg_restart_game", nullptr);
    return 0;
}

s32_t GameUpdateWeaponInfo(const char*)
{
    // The front end runs the command with its weapon list (GuiUpdateWeaponInfo); a typed line names
    // no list, so there is nothing to copy.
    return -1;
}
