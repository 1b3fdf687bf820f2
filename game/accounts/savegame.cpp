#include "game/accounts/savegame.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/sound/sound_source.h"
#include "core/strings/text_case.h"
#include "game/accounts/account_file.h"
#include "game/accounts/current_account.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/accounts/player_account.h"
#include "game/player/player_control.h"
#include "game/player/player_foot_control.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/accounts/saved_objects.h"
#include "gui/screens/gui.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/render_cvars.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/hud/screen_fade.h"

ConsoleVar gx_savegame("gx_savegame", SavegameSaveCommand);
ConsoleVar gx_loadgame("gx_loadgame", GameLoadGameCommand);

namespace {

// The mission's savegames of the current account; null without an account.
MissionSavegames* CurrentMissionSavegames()
{
    PlayerAccount* account = GetCurrentAccount();
    return account ? &account->GetMissionSavegames(GameCurrentMapName().Text()) : nullptr;
}

// A whole decimal number and nothing else; false for anything else.
bool ParseIndex(const char* text, long& value)
{
    if (!text)
        return false;
    while (*text == ' ' || *text == '\t')
        ++text;
    if (!*text)
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n'))
        ++end;
    return errno == 0 && end && *end == '\0';
}

struct RestartTransfer {
    RestartTransfer() { g_game.savingRestart = true; }
    ~RestartTransfer() { g_game.savingRestart = false; }
};

Vector3 Normalised(Vector3 v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f)
        v = {v.x / length, v.y / length, v.z / length};
    return v;
}

void RebuildProjectiles(const Savegame& savegame, const std::vector<Weapon*>& weapons)
{
    for (Weapon* weapon : weapons) {
        for (const SavedObjectState& record : savegame.records) {
            if (record.kind != OBJECT_TYPE_PROJECTILE)
                continue;
            char firedBy[33] = {};
            std::memcpy(firedBy, record.kindArea + 28, 32);
            if (CompareNoCase(firedBy, weapon->name.Text()) != 0)
                continue;
            Projectile* projectile = weapon->SpawnProjectile();
            if (!projectile)
                continue;
            SavedObjectState state = record;
            projectile->LoadState(&state);
            projectile->direction = Normalised(projectile->direction);
            projectile->flightDirection = projectile->direction;
            const Vector3 at = projectile->GetPosition();
            projectile->launchPosition = at;
            projectile->previousPosition = at;
            projectile->arcStartPosition = at;
            projectile->lastUpdateTick = GetTickCount();
            projectile->arcStartTick = projectile->lastUpdateTick;
            if (!DynObjectAdd(projectile))
                delete projectile;
        }
    }
}

void ApplyVehicleRecord(Vehicle* vehicle, const SavedObjectState& record, bool areaWhole)
{
    vehicle->SetGroundPosition(record.position.x, record.position.y, record.position.z);
    vehicle->SetPosition(record.position);
    vehicle->SetRotation(record.rotation);
    vehicle->ClearDecals();
    DynObjectUpdateGrid(vehicle);
    // A record read from the account file has no vehicle state: an area of zeros would put the
    // wheels' contact points at the origin. Position and rotation stand alone then.
    if (!areaWhole)
        return;
    SavedObjectState state = record;
    vehicle->LoadState(&state);
    const u8_t* area = record.kindArea;
    u32_t occupants = 0;
    std::memcpy(&occupants, area + VEHICLE_STATE_OCCUPANTS, 4);
    for (u32_t i = 0; i < occupants && i < VEHICLE_STATE_NAME_COUNT; ++i) {
        char occupant[VEHICLE_STATE_NAME_SIZE + 1] = {};
        std::memcpy(occupant, area + VEHICLE_STATE_NAMES + i * VEHICLE_STATE_NAME_SIZE, VEHICLE_STATE_NAME_SIZE);
        DynamicObject* named = occupant[0] ? DynObjectFind(occupant) : nullptr;
        if (named && named->GetTypeId() == OBJECT_TYPE_ACTOR)
            static_cast<Actor*>(named)->TakeItem(vehicle);
    }
}

// The reader has put every destroyed object back: the one of the record is destroyed again, its
// replacement standing where the record says, without the destruction's effects.
void ApplyDestroyedRecord(const SavedObjectState& record)
{
    DynamicObject* original = DynObjectFind(record.name.Text());
    if (!original || original->GetTypeId() != static_cast<s32_t>(record.kind) || !original->destroyedReplacement)
        return;
    DynamicObject* replacement = original->destroyedReplacement;
    if (replacement->sound)
        replacement->sound->StopOwnSound();
    DynObjectRemove(original);
    replacement->SetPosition(record.position);
    replacement->SetRotation(record.rotation);
    DestroyQueueRemove(replacement);
    DestroyQueueAdd(original);
    DynObjectAdd(replacement);
}

}  // namespace

void SavegameWrite(Savegame& savegame)
{
    Log("Saving game...");
    const float* view = GameGetViewPos();
    std::memcpy(savegame.viewPosition, view, sizeof savegame.viewPosition);
    savegame.viewYaw = GameGetYaw();
    savegame.viewPitch = GameGetPitch();
    for (EngineString& item : savegame.itemNames)
        item.Clear();
    if (const Actor* player = PlayerActor()) {
        for (int i = 0; i < kActorCarriedItems && i < SAVEGAME_ITEM_NAMES; ++i) {
            if (player->carriedItems[i])
                savegame.itemNames[i] = player->carriedItems[i]->name;
        }
    }
    WorldObjects world;
    CollectWorldObjects(world, true);
    const std::vector<u32_t> hands = HandKinds(world.actors);
    ClearWeaponLinks(world.weapons);
    DropAllItems(world.actors, world.weapons);

    std::vector<SavedObjectState> records(world.actors.size() + world.weapons.size() + world.vehicles.size() +
                                          world.projectiles.size() + world.destroyed.size());
    size_t n = 0;
    for (Actor* actor : world.actors)
        FillRecord(records[n++], actor);
    for (Weapon* weapon : world.weapons)
        FillRecord(records[n++], weapon);
    for (Vehicle* vehicle : world.vehicles)
        FillRecord(records[n++], vehicle);
    for (Projectile* projectile : world.projectiles)
        FillRecord(records[n++], projectile);
    for (DynamicObject* object : world.destroyed)
        FillRecord(records[n++], object);
    StoreHandKinds(records, hands);
    savegame.records = std::move(records);
    savegame.areasWhole = true;

    GiveItemsBack(world.weapons);
    RestoreHandKinds(world.actors, hands);
    Log("done\n");
}

bool SavegameApply(const Savegame& savegame)
{
    Log("Loading game...");
    RemoveAllProjectiles();
    ParticlesReset();
    DynObjectsRestoreReplaced();
    EnvelopeResetAll();

    WorldObjects world;
    CollectWorldObjects(world, false);
    ClearWeaponLinks(world.weapons);
    float* view = GameGetViewPos();
    std::memcpy(view, savegame.viewPosition, sizeof savegame.viewPosition);
    GameSetYawPitch(savegame.viewYaw, savegame.viewPitch);
    GameSetPlayerPos(view);
    for (int axis = 0; axis < 3; ++axis)
        g_playerFoot.previousPosition[axis] = view[axis];
    DropAllItems(world.actors, world.weapons);

    RebuildProjectiles(savegame, world.weapons);
    for (const SavedObjectState& record : savegame.records) {
        if (record.kind == OBJECT_TYPE_WEAPON)
            ApplyWeaponRecord(record, world.weapons);
    }
    for (const SavedObjectState& record : savegame.records) {
        for (Actor* actor : world.actors) {
            if (CompareNoCase(actor->name.Text(), record.name.Text()) == 0 && record.kind == OBJECT_TYPE_ACTOR)
                ApplyActorRecord(actor, record);
        }
        for (Vehicle* vehicle : world.vehicles) {
            if (CompareNoCase(vehicle->name.Text(), record.name.Text()) == 0 && record.kind == OBJECT_TYPE_VEHICLE)
                ApplyVehicleRecord(vehicle, record, savegame.areasWhole);
        }
    }
    for (const SavedObjectState& record : savegame.records) {
        if (record.kind == OBJECT_TYPE_STRUCTURE || record.kind == OBJECT_TYPE_MAP_OBJECT)
            ApplyDestroyedRecord(record);
    }
    if (Actor* player = PlayerActor()) {
        player->ReleaseInventory();
        for (const EngineString& item : savegame.itemNames) {
            if (item.IsEmpty())
                continue;
            if (DynamicObject* object = DynObjectFind(item.Text()))
                player->TakeItem(object);
        }
    }
    // The vehicles' first update after loading places them afresh.
    GameClearVehicleAuxFlags();
    Log("done\n");
    return true;
}

s32_t SavegameSaveCommand(const char* arguments)
{
    if (g_frameView.currentGameMod)
        return 0;
    long requested = -1;
    if (arguments && !ParseIndex(arguments, requested))
        requested = -1;
    PlayerAccount* account = GetCurrentAccount();
    if (!account) {
        LogFailure("acc");
        return -1;
    }
    RestartTransfer transfer;
    AccountModeProgress& mode = account->CurrentMode();
    MissionSavegames& mission = account->GetMissionSavegames(GameCurrentMapName().Text());
    if (requested != 0) {
        while (mission.savegames.size() > mode.savegameMark)
            mission.savegames.pop_back();
    }
    if (static_cast<s32_t>(mission.savegames.size()) >= mission.maxSavegames)
        return -1;
    mission.savegames.emplace_back();
    SavegameWrite(mission.savegames.back());
    mission.savegames.back().valid = 1;
    mode.savegameMark = static_cast<u32_t>(mission.savegames.size());
    // The savegame stays in memory for the next write; the player is not told it is on disk.
    if (!AccountSave(*account))
        return -1;
    ConPrint(4, "Game saved - %d more left.\n", mission.maxSavegames - static_cast<int>(mission.savegames.size()));
    return 0;
}

s32_t SavegameLoadCommand(const char*)
{
    if (g_frameView.currentGameMod)
        return 0;
    long index = -1;
    MissionSavegames* mission = CurrentMissionSavegames();
    if (!mission) {
        LogFailure("acc");
        return -1;
    }
    if (!ParseIndex(gs_load_slot_request.String(), index) || index < 0 ||
        static_cast<size_t>(index) >= mission->savegames.size())
        return -1;
    {
        RestartTransfer transfer;
        SavegameApply(mission->savegames[static_cast<size_t>(index)]);
        gbthirdperson.SetBool(false);
        if (DynamicObject* player = g_frameView.player)
            player->SetDrawn(false);
        g_input.guiMode = false;
        g_frameView.sound.playerDead = false;
        if (g_gui.currentScreen)
            g_gui.currentScreen->StopSounds();
        ConClear(4);
        GameShowMessage(nullptr, "messages._gm_game_loaded");
        ScreenFadeStart(1000, 0);
    }
    return 0;
}
