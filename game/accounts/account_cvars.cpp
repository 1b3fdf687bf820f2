#include "game/accounts/account_cvars.h"

#include "game/accounts/accounts.h"
#include "game/accounts/campaign_chronology.h"

ConsoleVar as_curaccount("as_curaccount", CVAR_STRING, "");
ConsoleVar as_accname("as_accname", CVAR_STRING, "");
ConsoleVar as_playername("as_playername", CVAR_STRING, "");
ConsoleVar as_accpassword("as_accpassword", CVAR_STRING, "");
ConsoleVar as_curpassword("as_curpassword", CVAR_STRING, "");
ConsoleVar ax_addacc("ax_addacc", AccountAdd);
ConsoleVar ax_removeacc("ax_removeacc", AccountRemove);
ConsoleVar ax_updateacc("ax_updateacc", AccountUpdate);
ConsoleVar ax_updateaccname("ax_updateaccname", AccountUpdateName);
ConsoleVar ax_updateaccpicture("ax_updateaccpicture", AccountUpdatePicture);
ConsoleVar ax_refresh("ax_refresh", AccountRefresh);
ConsoleVar ax_acceptacc("ax_acceptacc", AccountLogIn);
ConsoleVar ax_logoff("ax_logoff", AccountLogOff);

ConsoleVar ax_determinenextmission("ax_determinenextmission", AccountDetermineNextMission);
ConsoleVar ax_getcutscene_begin("ax_getcutscene_begin", AccountPlayCutsceneBegin);
ConsoleVar ax_getcutscene_acc("ax_getcutscene_acc", AccountPlayCutsceneAccomplished);
ConsoleVar ax_getcutscene_fail("ax_getcutscene_fail", AccountPlayCutsceneFailed);
ConsoleVar ax_determinequickmissions("ax_determinequickmissions", AccountDetermineQuickMissions);
ConsoleVar ax_setmissionname("ax_setmissionname", AccountSetMissionName);
ConsoleVar ax_resetsingleplayer("ax_resetsingleplayer", AccountResetSinglePlayer);
ConsoleVar ax_setspmod("ax_setspmod", AccountSetSinglePlayerMode);
ConsoleVar as_curcampaign("as_curcampaign", CVAR_STRING, "");
ConsoleVar as_curcampaign_l("as_curcampaign_l", CVAR_STRING, "");
ConsoleVar as_campaignscreen("as_campaignscreen", CVAR_STRING, "");
ConsoleVar as_missionname("as_missionname", CVAR_STRING, "");
ConsoleVar as_spmod("as_spmod", CVAR_STRING, "ZEZOD");
ConsoleVar as_curmission("as_curmission", CVAR_STRING, "");
ConsoleVar as_missionname_l("as_missionname_l", CVAR_STRING, "");
ConsoleVar as_hovermission("as_hovermission", CVAR_STRING, "");

ConsoleVar as_bulletsfired("as_bulletsfired", CVAR_INT, "0");
ConsoleVar as_bulletshit("as_bulletshit", CVAR_INT, "0");
ConsoleVar as_enemieskilled("as_enemieskilled", CVAR_INT, "0");
ConsoleVar as_friendskilled("as_friendskilled", CVAR_INT, "0");
ConsoleVar as_leadmsg("as_leadmsg", CVAR_STRING, "");
ConsoleVar as_playerimage("as_playerimage", CVAR_STRING, "");
ConsoleVar as_curimage("as_curimage", CVAR_STRING, "");
ConsoleVar as_firstplayerimage("as_firstplayerimage", CVAR_STRING, "");
ConsoleVar as_globalmsg1("as_globalmsg1", CVAR_STRING, "");
ConsoleVar as_globalmsg2("as_globalmsg2", CVAR_STRING, "");
ConsoleVar as_globalmsg3("as_globalmsg3", CVAR_STRING, "");
ConsoleVar as_globalmsg4("as_globalmsg4", CVAR_STRING, "");
ConsoleVar as_globalmsg5("as_globalmsg5", CVAR_STRING, "");
ConsoleVar as_teammsg1("as_teammsg1", CVAR_STRING, "");
ConsoleVar as_teammsg2("as_teammsg2", CVAR_STRING, "");
ConsoleVar as_teammsg3("as_teammsg3", CVAR_STRING, "");
ConsoleVar as_teammsg4("as_teammsg4", CVAR_STRING, "");
ConsoleVar as_teammsg5("as_teammsg5", CVAR_STRING, "");
