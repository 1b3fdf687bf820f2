// The command `quit` and its three roads out of a mission: to the menus, out of the program in
// steps behind the exit screen, and out of the program at once.
#include "game/mission/quit.h"

#include <cstdio>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "core/video/video.h"
#include "core/winos.h"
#include "game/accounts/account_file.h"
#include "game/accounts/accounts.h"
#include "game/accounts/current_account.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/mission/loading_screen.h"
#include "game/accounts/player_account.h"
#include "game/player/player_state.h"
#include "game/accounts/restart_info.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "map/registry/actor_lists.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/frame.h"
#include "render/device/render_device.h"
#include "render/device/shader_hash.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "scene/passes/decal_list.h"
#include "scene/passes/decal_pass.h"
#include "scene/draw_records/draw_records.h"
#include "scene/passes/frame_state.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/sky/sun_effect.h"
#include "scene/vegetation/vegetation.h"

namespace {

QuitStepRecorder g_recorder = nullptr;

void Record(const char* step)
{
    if (g_recorder)
        g_recorder(step);
}

// Each progress step shows its text and value before its work.
void Progress(const char* text, GuiScreen* screen, int value)
{
    if (g_recorder) {
        char line[96];
        std::snprintf(line, sizeof line, "progress %d %s", value, text);
        g_recorder(line);
    }
    GameDrawLoadingProgress(text, screen, value);
}

// The background of the progress display: the named screen, or the GUI's error screen when the
// script has none.
GuiScreen* EnterProgressScreen(const char* name)
{
    GuiScreen* screen = GuiFindScreen(name);
    if (g_recorder) {
        char line[96];
        std::snprintf(line, sizeof line, "screen %s", screen ? screen->name.Text() : "(none)");
        g_recorder(line);
    }
    if (screen)
        screen->Activate(screen);
    return screen;
}

// The progress screen after the mission was left: leaving frees the mission's screens, and a screen
// of that name among them is gone; then the name is looked up again (the error screen, or none).
GuiScreen* AfterLeave(GuiScreen* screen, const char* name)
{
    for (u32_t i = 0; i < GuiScreenCount(); ++i) {
        if (GuiScreenAt(i) == screen)
            return screen;
    }
    if (screen && screen == g_gui.errorScreen)
        return screen;
    return screen ? GuiFindScreen(name) : nullptr;
}

void CommonSteps()
{
    Record("event 0x30002");
    g_pluginHost.Broadcast(HookMissionLeft, 0);
    // The restart information belongs to the mission being left.
    Record("restart information dropped");
    RestartInfoFree();
}

// The mission itself: the spatial sounds of its objects, then the objects and data. The decal
// passes' cell object points at an object the unload deletes, so it goes first.
void LeaveRunningMission()
{
    if (!g_game.missionLoaded)
        return;
    DecalPassesSetCellObject(nullptr);
    Record("GameLeaveMission");
    GameLeaveMission();
    // The frame carry and the first-person view's weapon from the last frame point into the mission.
    RenderResetFrameState();
}

// The account keeps the settings as they are now; freeing the accounts writes nothing, so the
// account is written here, whole or not at all (the write itself refreshes the stored settings).
void SaveCurrentAccount()
{
    if (!GetCurrentAccount())
        return;
    Record("account options refreshed");
    Record("AccountSave");
    AccountsSaveCurrent();
}

void MarkProgramEnding()
{
    Record("program ending");
    g_program.ending = 1;
}

void ExitSteps()
{
    GuiScreen* screen = EnterProgressScreen("EXITSCREEN");
    Record("GameModsFree");
    GameModsFree();

    Progress("Destroying additional data...", screen, 10);
    Record("VideoShutdown");
    VideoShutdown();
    Record("ConShutdown");
    ConShutdown();

    Progress("Destroying objects...", screen, 30);
    Record("GameResetDefaultWeapons");
    GameResetDefaultWeapons();
    LeaveRunningMission();
    screen = AfterLeave(screen, "EXITSCREEN");

    Progress("Destroying sound...", screen, 0);
    Record("SoundShutdown");
    SoundShutdown();

    Progress("Destroying scripts...", screen, 80);
    Record("DestroyScriptCache");
    DestroyScriptCache();

    Progress("Exiting...", screen, 100);
    Record("RenderShutdown 1");
    RenderShutdown(true);
    Record("InputShutdown");
    InputShutdown();
    Record("GuiShutdown");
    GuiShutdown();
    Record("BlockListFree");
    BlockListFree();

    SaveCurrentAccount();

    // The relation lists only refer to actors (the world owned them and has let them go).
    Record("ActorListsFree");
    ActorListsFree();

    Record("AccountsShutdown");
    AccountsShutdown();
    Record("VFSShutdown");
    VFSShutdown();
    Record("DefFileFreeAll");
    DefFileFreeAll();
    MarkProgramEnding();
}

void ImmediateSteps()
{
    Record("GameModsFree");
    GameModsFree();
    Record("SoundShutdown");
    SoundShutdown();
    Record("VideoShutdown");
    VideoShutdown();
    Record("DestroyScriptCache");
    DestroyScriptCache();
    Record("ConShutdown");
    ConShutdown();
    Record("InputShutdown");
    InputShutdown();
    Record("GuiShutdown");
    GuiShutdown();
    Record("RenderShutdown 0");
    RenderShutdown(false);
    SaveCurrentAccount();
    Record("AccountsShutdown");
    AccountsShutdown();
    Record("VFSShutdown");
    VFSShutdown();
    Record("DefFileFreeAll");
    DefFileFreeAll();
    MarkProgramEnding();
}

void LeaveSteps()
{
    GuiScreen* screen = EnterProgressScreen("LEAVESCREEN");

    Progress("Unloading map...", screen, 0);
    Record("SoundStopAll");
    SoundStopAll();
    Record("SoundFreeMission");
    SoundFreeMission();
    LeaveRunningMission();
    screen = AfterLeave(screen, "LEAVESCREEN");

    Progress("Unloading scripts...", screen, 35);
    Record("DestroyScriptCache");
    DestroyScriptCache();

    Progress("Destroying vegetation...", screen, 37);
    Record("VegetationShutdown");
    VegetationShutdown();
    Record("DrawRecordListFree");
    DrawRecordListFree();

    Progress("Releasing dynamic data...", screen, 42);
    Record("DecalListClear");
    DecalListClear();
    Record("DebugListsFree");
    DebugListsFree();

    Progress("Destroying textures and device buffers...", screen, 70);
    Record("TexturesReleaseAll");
    TexturesReleaseAll();
    Record("RenderFreeSunEffect");
    RenderFreeSunEffect();
    Record("GpuAnimRelease");
    GpuAnimRelease();
    Record("RenderReleaseDeviceResources");
    RenderReleaseDeviceResources();
    Record("BlockListFree");
    BlockListFree();
    // What the menus draw with.
    Record("GuiTexturesLoad");
    GuiTexturesLoad();
    Record("RenderCreateDeviceResources");
    RenderCreateDeviceResources();
    Record("DrawRecordListInit");
    DrawRecordListInit();
    Record("DebugListsReset");
    DebugListsReset();
    Record("CreateScriptCache");
    CreateScriptCache();
    Record("FontsReloadTextures");
    FontsReloadTextures();

    Progress("Returning to GUI...", screen, 100);
}

}  // namespace

ConsoleVar quitCommand("quit", QuitCommand);

QuitForm QuitFormOf(const char* arguments)
{
    if (!arguments || !arguments[0])
        return QuitForm::Exit;
    // The whole argument names the form: "-m" is tested first.
    if (CompareNoCase(arguments, "-m") == 0)
        return QuitForm::Immediate;
    if (CompareNoCase(arguments, "-g") == 0)
        return QuitForm::Leave;
    return QuitForm::Common;
}

void QuitSetStepRecorder(QuitStepRecorder recorder)
{
    g_recorder = recorder;
}

void GameExitToGui(const char* arguments)
{
    const QuitForm form = QuitFormOf(arguments);
    CommonSteps();
    switch (form) {
        case QuitForm::Exit:
            ExitSteps();
            break;
        case QuitForm::Immediate:
            ImmediateSteps();
            break;
        case QuitForm::Leave:
            LeaveSteps();
            break;
        case QuitForm::Common:
            break;
    }
}

s32_t QuitCommand(const char* arguments)
{
    // From the console in a mission the main loop is told to go to the menus; its own leave then
    // finds no mission.
    if (QuitFormOf(arguments) == QuitForm::Leave && g_game.missionLoaded)
        g_program.loopState = LOOP_MAIN_MENU;
    GameExitToGui(arguments);
    return 0;
}
