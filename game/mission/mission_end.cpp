#include "game/mission/mission_end.h"

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/vehicles/vehicle.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/envelopes/envelope_table.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/current_account.h"
#include "game/view/external_camera.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/accounts/player_account.h"
#include "game/player/player_foot_control.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/accounts/restart_info.h"
#include "game/player/vehicle_control.h"
#include "gui/screens/gui.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/hud/screen_fade.h"

ConsoleVar gx_accomplishmission("gx_accomplishmission", MissionAccomplishCommand);
ConsoleVar gx_failmission("gx_failmission", MissionFailCommand);
ConsoleVar gx_restartmission("gx_restartmission", MissionRestartCommand);

namespace {

// The screen of the name becomes current and is entered; the game frame opens it over the mission.
void RequestScreen(const char* name, bool enter)
{
    g_gui.currentScreen = GuiFindScreen(name);
    if (enter && g_gui.currentScreen)
        g_gui.currentScreen->Activate(g_gui.currentScreen);
    g_gui.screenRequested = true;
}

void RunHandler(ConsoleVar& command)
{
    if (command.value.handler)
        command.value.handler(nullptr);
}

void LeavePlayerVehicle(Actor* player)
{
    Vehicle* vehicle = g_game.playerVehicle;
    if (!vehicle)
        return;
    VehicleControlReleaseSeat(player, vehicle);
}

}  // namespace

s32_t MissionAccomplishCommand(const char*)
{
    const char* map = GameCurrentMapName().Text();
    ConPrint(0, "Mission '%s' succesfully acomplished!\n", map);
    PlayerAccount* account = GetCurrentAccount();
    if (account)
        account->AddCompletedMission(map);
    RequestScreen(g_game.quickMission ? "SUCCESSSCREENQM" : "SUCCESSSCREEN", true);
    const AccountState& campaign = g_game.accounts;
    for (size_t i = 0; i < campaign.missionFiles.size(); ++i) {
        if (CompareNoCase(campaign.missionFiles[i].Text(), map) == 0 &&
            static_cast<s32_t>(i) == campaign.lastMissionIndex && account)
            account->AddCompletedCampaign(as_curcampaign.String());
    }
    RunHandler(ax_getcutscene_acc);
    return 0;
}

s32_t MissionFailCommand(const char*)
{
    if (g_playerState.respawnRequested)
        return 0;
    const GameMod* mod = g_frameView.currentGameMod;
    if (mod && mod->ownScreens) {
        RequestScreen(mod->scoreScreen, false);
        return 0;
    }
    ConPrint(0, "Mission '%s' failed!\n", GameCurrentMapName().Text());
    RequestScreen(g_game.quickMission ? "FAILSCREENQM" : "FAILSCREEN", true);
    RunHandler(ax_getcutscene_fail);
    return 0;
}

s32_t MissionRestartCommand(const char*)
{
    if (g_gui.currentScreen)
        g_gui.currentScreen->StopSounds();
    g_frameView.sound.playerDead = false;
    gbthirdperson.SetBool(false);
    g_frameView.cursorMode = false;
    g_frameView.zoomView = false;
    g_hudInput.flags.sightView = 0;
    g_hudInput.flags.binocularView = 0;
    g_hudInput.flags.commandMenuOpen = 0;
    g_playerFoot.parachuteDescent = gb_pradropstart.Bool() ? 1 : 0;
    g_gui.screenRequested = false;
    g_hudInput.commandMenu = CommandMenuState();
    GameResetControlInput();
    // The mission scripts start again from their beginning: a camera that had the view gives it back
    // (its frame runs no simulation, so nothing else of the restarted mission could end it).
    SwitchFromExternalCamera();

    if (Actor* player = PlayerActor()) {
        player->ReleaseInventory();
        player->oxygen = player->oxygenMax;
        player->ResetPoseAndWeapons();
        mi_oxygen.SetInt(static_cast<s32_t>(player->oxygen));
        LeavePlayerVehicle(player);
    }

    g_game.savingRestart = true;
    DynObjectsRestoreReplaced();
    if (!RestartInfoLoad()) {
        ConClear(4);
        ConPrint(4, "Error occured while loading restart info!\n");
    }
    g_game.savingRestart = false;

    MSALStartAll();
    AIRestartAll();
    ParticlesReset();
    GameClearVehicleAuxFlags();
    EnvelopeResetAll();

    if (!g_frameView.currentGameMod) {
        if (PlayerAccount* account = GetCurrentAccount()) {
            MissionSavegames& record = account->GetMissionSavegames(GameCurrentMapName().Text());
            account->CurrentMode().savegameMark = 0;
            record.maxSavegames = gi_maxsaves.Int();
        }
        g_gui.captionDue = 1;
        g_gui.captionStamp = GetTickCount();
        g_gui.captionSlot.shown = 0;
        if (!g_gui.captionSound.IsEmpty()) {
            if (SoundInstance* voice = FindMessageSound(g_gui.captionSound))
                voice->Stop();
        }
    }
    ScreenFadeStart(1000, 0);
    GameShowMessage(nullptr, "messages._gm_game_restarted");
    return 0;
}
