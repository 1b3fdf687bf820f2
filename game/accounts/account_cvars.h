// The account variables and commands through which the front end creates, chooses and logs into
// accounts and follows the campaign. "as_tqmod" lives with the texture quality that reads it.
#pragma once
#include "core/console/console_var.h"

// Identity and log-in.
extern ConsoleVar as_curaccount;
extern ConsoleVar as_accname;
extern ConsoleVar as_playername;
extern ConsoleVar as_accpassword;
extern ConsoleVar as_curpassword;
extern ConsoleVar ax_addacc;
extern ConsoleVar ax_removeacc;
extern ConsoleVar ax_updateacc;
extern ConsoleVar ax_updateaccname;
extern ConsoleVar ax_updateaccpicture;
extern ConsoleVar ax_refresh;
extern ConsoleVar ax_acceptacc;
extern ConsoleVar ax_logoff;
// Campaign.
extern ConsoleVar ax_determinenextmission;
extern ConsoleVar ax_getcutscene_begin;
extern ConsoleVar ax_getcutscene_acc;
extern ConsoleVar ax_getcutscene_fail;
extern ConsoleVar ax_determinequickmissions;
extern ConsoleVar ax_setmissionname;
extern ConsoleVar ax_resetsingleplayer;
extern ConsoleVar ax_setspmod;
extern ConsoleVar as_curcampaign;
extern ConsoleVar as_curcampaign_l;
extern ConsoleVar as_campaignscreen;
extern ConsoleVar as_missionname;
extern ConsoleVar as_spmod;
extern ConsoleVar as_curmission;
extern ConsoleVar as_missionname_l;
extern ConsoleVar as_hovermission;
// Statistics, messages and pictures.
extern ConsoleVar as_bulletsfired;
extern ConsoleVar as_bulletshit;
extern ConsoleVar as_enemieskilled;
extern ConsoleVar as_friendskilled;
extern ConsoleVar as_leadmsg;
extern ConsoleVar as_playerimage;
extern ConsoleVar as_curimage;
extern ConsoleVar as_firstplayerimage;
extern ConsoleVar as_globalmsg1;
extern ConsoleVar as_globalmsg2;
extern ConsoleVar as_globalmsg3;
extern ConsoleVar as_globalmsg4;
extern ConsoleVar as_globalmsg5;
extern ConsoleVar as_teammsg1;
extern ConsoleVar as_teammsg2;
extern ConsoleVar as_teammsg3;
extern ConsoleVar as_teammsg4;
extern ConsoleVar as_teammsg5;
