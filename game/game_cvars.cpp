// The game's console variables and commands, all in one place. Each record links itself at the head of
// the list as it is constructed, so the list shows them from the last defined to the first: keep the
// order of this file, and keep the game's records together (plug-ins and scripts walk them by name).
#include "game/game_cvars.h"

#include "ai/rules/rule_compiler.h"
#include "core/core_cvars.h"
#include "game/accounts/accounts.h"
#include "game/commands/game_commands.h"
#include "game/commands/mission_commands.h"
#include "game/commands/multiplayer_commands.h"
#include "game/commands/plugin_commands.h"
#include "game/view/mouse_look.h"

// The inset camera switch belongs to the frame's team view, not to this list: defined before it so
// that it does not fall between the game's records.
ConsoleVar gbteskenable("gbteskenable", CVAR_BOOL, "false");

// Mission selection, information and loading.
ConsoleVar gs_load_slot_request("gs_load_slot_request", CVAR_STRING, "");
ConsoleVar gs_maploadprogress("gs_maploadprogress", CVAR_STRING, "");
ConsoleVar gi_maploadprogress("gi_maploadprogress", CVAR_INT, "0");
ConsoleVar gs_briefing("gs_briefing", CVAR_STRING, "");
ConsoleVar gs_intelligence("gs_intelligence", CVAR_STRING, "");
ConsoleVar gs_global_info("gs_global_info", CVAR_STRING, "");
ConsoleVar gs_objectives("gs_objectives", CVAR_STRING, "");
ConsoleVar gs_loadimage("gs_loadimage", CVAR_STRING, "");
ConsoleVar gs_photos("gs_photos", CVAR_STRING, "");
ConsoleVar gs_photo_desc_src("gs_photo_desc_src", CVAR_STRING, "");
ConsoleVar gs_photo_descs("gs_photo_descs", CVAR_STRING, "");
ConsoleVar gs_default_primary("gs_default_primary", CVAR_STRING, "");
ConsoleVar gs_default_secondary("gs_default_secondary", CVAR_STRING, "");
ConsoleVar gs_map("gs_map", CVAR_STRING, "");
ConsoleVar gs_mapinfo("gs_mapinfo", CVAR_STRING, "");
ConsoleVar gs_briefinglandmap("gs_briefinglandmap", CVAR_STRING, "");
ConsoleVar gv_startpos("gv_startpos", CVAR_VECTOR, "");
ConsoleVar gx_fillmissioninfo("gx_fillmissioninfo", GameFillMissionInfo);
ConsoleVar gx_fillquickmissioninfo("gx_fillquickmissioninfo", GameFillQuickMissionInfo);
ConsoleVar gs_graphmode("gs_graphmode", CVAR_STRING, "800 600 32b");
ConsoleVar gx_applygraphsettings("gx_applygraphsettings", GameApplyGraphSettings);
// Player equipment.
ConsoleVar gx_updateweaponinfo("gx_updateweaponinfo", GameUpdateWeaponInfo, GuiUpdateWeaponInfo);
ConsoleVar gs_primaryweaponinfo("gs_primaryweaponinfo", CVAR_STRING, "");
ConsoleVar gs_secondaryweaponinfo("gs_secondaryweaponinfo", CVAR_STRING, "");
ConsoleVar gs_explosiveinfo("gs_explosiveinfo", CVAR_STRING, "");
ConsoleVar gs_curprimaryweapon("gs_curprimaryweapon", CVAR_STRING, "vss");
ConsoleVar gs_cursecondaryweapon("gs_cursecondaryweapon", CVAR_STRING, "steckin");
ConsoleVar gs_curexplosiveweapon("gs_curexplosiveweapon", CVAR_STRING, "");
ConsoleVar gs_curexpdevicesweapon("gs_curexpdevicesweapon", CVAR_STRING, "");
ConsoleVar gs_grenadeweapon("gs_grenadeweapon", CVAR_STRING, "rgd5");
ConsoleVar gs_curactormodel("gs_curactormodel", CVAR_STRING, "netplayer");
// The plug-in list screen.
ConsoleVar gs_plgname("gs_plgname", CVAR_STRING, "");
ConsoleVar gs_plgdesc("gs_plgdesc", CVAR_STRING, "");
ConsoleVar gs_plgauthor("gs_plgauthor", CVAR_STRING, "");
ConsoleVar gs_plgcompany("gs_plgcompany", CVAR_STRING, "");
ConsoleVar gs_plgver("gs_plgver", CVAR_STRING, "");
ConsoleVar gs_plgstate("gs_plgstate", CVAR_STRING, "");
ConsoleVar gs_plgloadstate("gs_plgloadstate", CVAR_STRING, "");
ConsoleVar gx_fillplginfo("gx_fillplginfo", GameFillPluginInfo);
ConsoleVar gx_plgstoprun("gx_plgstoprun", GamePluginStopRun);
ConsoleVar gx_plgunloadreload("gx_plgunloadreload", GamePluginUnloadReload);
// Multiplayer: the multiplayer plug-in and the screens read these by name.
ConsoleVar gx_createserver("gx_createserver", GameCreateServer);
ConsoleVar gx_joinserver("gx_joinserver", GameJoinServer);
ConsoleVar gs_servername("gs_servername", CVAR_STRING, "");
ConsoleVar gs_joinservername("gs_joinservername", CVAR_STRING, "");
ConsoleVar gs_serverpass("gs_serverpass", CVAR_STRING, "");
ConsoleVar gs_sq1pass("gs_sq1pass", CVAR_STRING, "");
ConsoleVar gs_sq2pass("gs_sq2pass", CVAR_STRING, "");
ConsoleVar gs_serverip("gs_serverip", CVAR_STRING, "");
ConsoleVar gs_serverport("gs_serverport", CVAR_STRING, "17000");
ConsoleVar gs_serverinfo("gs_serverinfo", CVAR_STRING, "");
ConsoleVar gb_godmode("gb_godmode", CVAR_BOOL, "false");
ConsoleVar gs_records("gs_records", CVAR_STRING, "");
ConsoleVar gs_response("gs_response", CVAR_STRING, "");
ConsoleVar gb_pradropstart("gb_pradropstart", CVAR_BOOL, "false");
ConsoleVar gi_maxsaves("gi_maxsaves", CVAR_INT, "3");
ConsoleVar gbgameconsole("gbgameconsole", CVAR_BOOL, "true");
ConsoleVar gb_satcamscan("gb_satcamscan", CVAR_BOOL, "false");
ConsoleVar gb_satcamenable("gb_satcamenable", CVAR_BOOL, "true");
ConsoleVar gbdebuginfo("gbdebuginfo", CVAR_BOOL, "false");
ConsoleVar gx_changeactor("gx_changeactor", GameChangeActor);
ConsoleVar gx_actorsetyaw("gx_actorsetyaw", GameActorSetYaw);
ConsoleVar cmd("cmd", ConsoleCmdCallMethod);
ConsoleVar gbai("gbai", CVAR_BOOL, "true");
ConsoleVar gbshake("gbshake", CVAR_BOOL, "true");
ConsoleVar gx_killall("gx_killall", GameKillAll);
ConsoleVar gx_fullscreen("gx_fullscreen", GameFullscreen);
ConsoleVar gx_mapimage("gx_mapimage", GameMapImage);
ConsoleVar gx_fogtex("gx_fogtex", GameFogTexture);
// Controls, view and movement.
ConsoleVar gx_updatemouse("gx_updatemouse", GameUpdateMouseCommand);
ConsoleVar gi_mousesensitivity("gi_mousesensitivity", CVAR_INT, "50");
ConsoleVar gxmap("gxmap", GameMapCommand);
ConsoleVar gb_invertmouse("gb_invertmouse", CVAR_BOOL, "false");
ConsoleVar gbthirdperson("gbthirdperson", CVAR_BOOL, "false");
ConsoleVar gbtop("gbtop", CVAR_BOOL, "false");
ConsoleVar gbghost("gbghost", CVAR_BOOL, "false");
ConsoleVar gbalwaysrun("gbalwaysrun", CVAR_BOOL, "true");
ConsoleVar gbwalk("gbwalk", CVAR_BOOL, "true");
ConsoleVar gfcollipar("gfcollipar", CVAR_FLOAT, "0.92");
ConsoleVar gbfastmove("gbfastmove", CVAR_BOOL, "false");
