#include "game/mission_objects/player_assembly.h"

#include <string>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/current_account.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/accounts/player_account.h"
#include "map/terrain/map_state.h"
#include "map/registry/world_registry.h"
#include "render/render_cvars.h"
#include "world/objects/dynamic_object.h"

namespace {

DynamicObject* g_teskActor = nullptr;

// A weapon variable, the body node its weapon hangs from, the mount node below it, the mount name,
// and whether the weapon's own definition may move it ("pin_inactive").
struct WeaponRow {
    const ConsoleVar* weapon;
    const char* node;
    const char* mountNode;
    const char* mountName;
    bool readsDefinition;
};

const WeaponRow kWeaponRows[] = {
    {&gs_curprimaryweapon, "torso", "xhand_r", "x1", false},
    {&gs_cursecondaryweapon, "legs", "xleg_r02", "x2", true},
    {&gs_curexplosiveweapon, "legs", "xtorso_b01", "x2", true},
    {&gs_curexpdevicesweapon, "legs", "xtorso_b01", "x2", true},
    {&gs_grenadeweapon, "legs", "xtorso_b01", "x2", true},
};

// Made with the running game mode set aside, so that no game-mode condition of the factory refuses
// the class.
// A soldier the full world table refuses would be kept outside the world, where nothing draws, moves
// or hits it: the table's check is logged and the soldier deleted. False then.
bool InsertOrRefuse(DynamicObject* soldier)
{
    const bool tableFull = g_map.objectCount >= DYN_MAX_OBJECTS;
    if (DynObjectAdd(soldier))
        return true;
    Log("%s\n", tableFull ? "dyn_objects_c < DYN_MAX_OBJECTS" : "g_nActorCnt < MAX_ACTORS");
    GameDeleteWorldObject(soldier);
    return false;
}

DynamicObject* CreateOutsideGameMode(const char* classKeyword)
{
    GameMod* running = g_frameView.currentGameMod;
    g_frameView.currentGameMod = nullptr;
    DynamicObject* object = CreateDynamicObjectByClass(classKeyword);
    g_frameView.currentGameMod = running;
    return object;
}

Vector3 ViewerPosition()
{
    return {g_frameView.viewPos[0], g_frameView.viewPos[1], g_frameView.viewPos[2]};
}

void HangWeapon(DynamicObject* player, const WeaponRow& row)
{
    const char* weapon = row.weapon->String();
    std::string node = row.node;
    std::string mountNode = row.mountNode;
    DefFile* definition = nullptr;
    if (row.readsDefinition) {
        definition = DefFileLoad((std::string("object\\weapons\\") + weapon + ".def").c_str());
        const DefEntry* pin = definition ? DefFileFindEntry(definition->first, "pin_inactive") : nullptr;
        if (pin) {
            mountNode = pin->Value(0);
            if (mountNode.size() > 1 && mountNode[1] == 't')
                node = "torso";
        }
    }
    const std::string templateName = std::string("weapons\\") + weapon;
    EngineString values[4] = {EngineString(templateName.c_str()), EngineString(node.c_str()),
                              EngineString(mountNode.c_str()), EngineString(row.mountName)};
    DefEntry line;
    line.key.Assign("template");
    line.values = values;
    line.valueCount = 4;
    GameApplyTemplateToObject(templateName.c_str(), player, &line);
    line.values = nullptr;
    DefFileRelease(definition);
}

}  // namespace

void GameDeleteWorldObject(DynamicObject* object)
{
    if (!object)
        return;
    DynObjectRemove(object);
    if (auto* soldier = dynamic_cast<Actor*>(object))
        delete soldier->ai;
    DeleteDynamicObject(object);
}

void GameAssemblePlayer()
{
    GameDeleteWorldObject(g_frameView.player);
    g_frameView.player = nullptr;
    DynamicObject* player = CreateOutsideGameMode("actor");
    if (!player)
        return;
    // A fresh start with "-m" may name an account that does not exist: nobody is logged in, and the
    // player takes the name asked for.
    const PlayerAccount* account = GetCurrentAccount();
    player->SetNameText(account ? account->name.Text() : as_accname.String());
    player->SetPosition(ViewerPosition());
    if (!InsertOrRefuse(player))
        return;
    g_frameView.player = player;
    player->SetCastsShadow(false);
    if (g_frameView.currentGameMod)
        GameApplyTemplateToObject((std::string("actors\\") + gs_curactormodel.String()).c_str(), player);
    else
        GameApplyTemplateToObject("actors\\player_common", player);
    for (const WeaponRow& row : kWeaponRows) {
        if (row.weapon->String()[0] != '\0')
            HangWeapon(player, row);
    }
}

void GameCreateTeskActor()
{
    GameDeleteWorldObject(g_teskActor);
    g_teskActor = nullptr;
    if (!gbteskenable.Bool())
        return;
    DynamicObject* tesk = CreateOutsideGameMode("tesk");
    if (!tesk)
        return;
    tesk->SetNameText("tesk");
    tesk->SetPosition(ViewerPosition());
    if (!InsertOrRefuse(tesk))
        return;
    g_teskActor = tesk;
    GameApplyTemplateToObject("actors\\tesk_common", tesk);
}

DynamicObject* GameTeskActor()
{
    return g_teskActor;
}

void GameForgetTeskActor()
{
    g_teskActor = nullptr;
}
