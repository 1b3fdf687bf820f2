#include "ai/script/global_functions.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/console/console.h"
#include "core/random.h"
#include "game/view/camera_link.h"
#include "game/view/external_camera.h"
#include "game/mission/game_messages.h"
#include "game/mission/mission_services.h"
#include "game/player/player_state.h"
#include "gui/screens/gui_in_game.h"
#include "gui/screens/mission_screen_lines.h"

namespace {

// Argument i of the call, or null when the call has fewer arguments.
void* Arg(ScriptArgWord* args, int i)
{
    if (!args)
        return nullptr;
    for (int k = 0; k < i; ++k) {
        if (!args[k])
            return nullptr;
    }
    return args[i];
}

s32_t IntArg(ScriptArgWord* args, int i, s32_t fallback)
{
    const void* word = Arg(args, i);
    return word ? *static_cast<const s32_t*>(word) : fallback;
}

const AIEntity* PlayerEntity()
{
    const Actor* player = PlayerActor();
    if (!player)
        return nullptr;
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        const AIInterface* interface = g_ai.interfaces[i];
        if (interface && interface->body == player)
            return interface->entity;
    }
    return nullptr;
}

void ScriptGameMessage(ScriptArgWord* args)
{
    const void* second = Arg(args, 1);
    if (!second)
        return;
    GameShowMessage(static_cast<const char*>(Arg(args, 0)), static_cast<const char*>(second));
}

void ScriptGuiClearObjectives(ScriptArgWord* args)
{
    GuiClearObjectives(static_cast<const char*>(Arg(args, 0)));
}

// The list's name, the text key and the colour.
void ScriptGuiAddObjective(ScriptArgWord* args)
{
    GuiAddObjective(static_cast<const char*>(Arg(args, 0)), static_cast<const char*>(Arg(args, 1)),
                    static_cast<const u32_t*>(Arg(args, 2)));
}

void ScriptGuiAddRecord(ScriptArgWord* args)
{
    Gui_AddRecord(static_cast<const s32_t*>(Arg(args, 0)));
}

void ScriptGuiAddResponse(ScriptArgWord* args)
{
    Gui_AddResponse(static_cast<const s32_t*>(Arg(args, 0)));
}

void ScriptAccomplishMission(ScriptArgWord*)
{
    GameAccomplishMission();
}

void ScriptFailMission(ScriptArgWord*)
{
    GameFailMission();
}

void ScriptIsPlayerDead(ScriptArgWord*)
{
    g_scriptResult.asBool = IsPlayerDead() ? 1 : 0;
}

void ScriptCompleteObjective(ScriptArgWord* args)
{
    if (Arg(args, 0))
        GameCompleteObjective(IntArg(args, 0, -1));
}

void ScriptGetObjective(ScriptArgWord* args)
{
    g_scriptResult.asBool = GameIsObjectiveComplete(IntArg(args, 0, -1)) ? 1 : 0;
}

void ScriptLinkCamera(ScriptArgWord* args)
{
    GameLinkCamera(static_cast<const char*>(Arg(args, 0)), static_cast<const char*>(Arg(args, 1)),
                   static_cast<const char*>(Arg(args, 2)));
}

void ScriptUnlinkCamera(ScriptArgWord*)
{
    GameUnlinkCamera();
}

void ScriptGetPlayerMovementMode(ScriptArgWord*)
{
    g_scriptResult.asInt = GetPlayerMovementMode();
}

}  // namespace

void ScriptConPrint(ScriptArgWord* args)
{
    const void* console = Arg(args, 0);
    const void* text = Arg(args, 1);
    if (!console || !text)
        return;
    // The index comes straight from the script: only the five consoles are taken.
    const s32_t index = *static_cast<const s32_t*>(console);
    if (index < 0 || index >= static_cast<s32_t>(CON_MAX_CONSOLES))
        return;
    ConPrint(index, "%.*s\n", static_cast<int>(SCRIPT_PRINT_TEXT_LIMIT), static_cast<const char*>(text));
}

void ScriptRandBool(ScriptArgWord*)
{
    g_scriptResult.asBool = static_cast<u8_t>(EngineRand() & 1);
}

void ScriptRandInt(ScriptArgWord* args)
{
    // 32-bit signed arithmetic, truncating towards zero, as scripts have always seen it; a product
    // past the 32 bits wraps (computed unsigned, so the wrap is defined).
    const s32_t n = IntArg(args, 0, 0);
    const u32_t product = static_cast<u32_t>(EngineRand()) * static_cast<u32_t>(n);
    g_scriptResult.asInt = static_cast<s32_t>(product) / ENGINE_RAND_MAX;
}

void ScriptRandFloat(ScriptArgWord* args)
{
    const void* word = Arg(args, 0);
    const float x = word ? *static_cast<const float*>(word) : 0.0f;
    g_scriptResult.asFloat = static_cast<float>(EngineRand()) * x * (1.0f / ENGINE_RAND_MAX);
}

void ScriptAllEnemiesDead(ScriptArgWord*)
{
    const AIEntity* player = PlayerEntity();
    bool allDead = true;
    for (u32_t i = 0; i < g_ai.interfaceCount && allDead; ++i) {
        const AIInterface* soldier = g_ai.interfaces[i];
        // Soldiers taken out of play still count: only a dead body is done with.
        if (soldier && soldier->entity && soldier->entity->IsEnemyOf(player) && soldier->body && !soldier->body->isDead)
            allDead = false;
    }
    g_scriptResult.asBool = allDead ? 1 : 0;
}

void RegisterGlobalScriptFunctions()
{
    ScriptFunctionTable::Add("ConPrint", ScriptConPrint, TYP_VOID);
    ScriptFunctionTable::Add("RandBool", ScriptRandBool, TYP_BOOL);
    ScriptFunctionTable::Add("RandInt", ScriptRandInt, TYP_INT);
    ScriptFunctionTable::Add("RandFloat", ScriptRandFloat, TYP_FLOAT);
    ScriptFunctionTable::Add("GameMessage", ScriptGameMessage, TYP_VOID);
    ScriptFunctionTable::Add("AllEnemiesDead", ScriptAllEnemiesDead, TYP_BOOL);
    ScriptFunctionTable::Add("GuiClearObjectives", ScriptGuiClearObjectives, TYP_VOID);
    ScriptFunctionTable::Add("GuiAddObjective", ScriptGuiAddObjective, TYP_VOID);
    ScriptFunctionTable::Add("Gui_AddRecord", ScriptGuiAddRecord, TYP_VOID);
    ScriptFunctionTable::Add("Gui_AddResponse", ScriptGuiAddResponse, TYP_VOID);
    ScriptFunctionTable::Add("AccomplishMission", ScriptAccomplishMission, TYP_VOID);
    ScriptFunctionTable::Add("FailMission", ScriptFailMission, TYP_VOID);
    ScriptFunctionTable::Add("IsPlayerDead", ScriptIsPlayerDead, TYP_BOOL);
    ScriptFunctionTable::Add("CompleteObjective", ScriptCompleteObjective, TYP_VOID);
    ScriptFunctionTable::Add("GetObjective", ScriptGetObjective, TYP_BOOL);
    ScriptFunctionTable::Add("LinkCamera", ScriptLinkCamera, TYP_VOID);
    ScriptFunctionTable::Add("UnlinkCamera", ScriptUnlinkCamera, TYP_VOID);
    ScriptFunctionTable::Add("GetPlayerMovementMode", ScriptGetPlayerMovementMode, TYP_INT);
    ScriptFunctionTable::Add("SwitchToExternalCamera", SwitchToExternalCamera, TYP_VOID);
    ScriptFunctionTable::Add("SwitchFromExternalCamera", SwitchFromExternalCamera, TYP_VOID);
}
