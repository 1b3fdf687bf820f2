// User accounts: the list read from the folder "accounts" at start, and the account commands the
// front end runs. Refusals go to the front end as message keys, with result 1 (-1 for the updates).
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

struct PlayerAccount;

void AccountsInit();
// Writes the logged-in account as it is now (settings, play mode, bindings, progress): every road
// out of the program calls it once before the accounts are freed. False when there was one and its
// file could not be written; true without a current account.
bool AccountsSaveCurrent();
// Frees every account without writing it.
void AccountsShutdown();
// Same length and equal without regard to case; null when none.
PlayerAccount* AccountFindByName(const char* name);
void AccountsAdd(PlayerAccount* account);
// Takes the account out of the list and deletes it.
void AccountsRemove(PlayerAccount* account);
void AccountsGetList(PlayerAccount* const** accounts, s32_t* count);
// The size of a file on disk in bytes; 0 when it cannot be opened.
u32_t DiskFileSize(const char* path);

// The account commands (argument text ignored).
s32_t AccountAdd(const char* arguments);
s32_t AccountRemove(const char* arguments);
s32_t AccountLogIn(const char* arguments);
s32_t AccountLogOff(const char* arguments);
s32_t AccountUpdate(const char* arguments);
s32_t AccountUpdateName(const char* arguments);
s32_t AccountUpdatePicture(const char* arguments);
s32_t AccountRefresh(const char* arguments);

// Applies the current account's 29 stored settings to the console variables, then the resolution
// control, the volumes and the mouse sensitivity.
void AccountApplySettings(const PlayerAccount& account);

s32_t GameFillMissionInfo(const char* arguments);
// A mission loaded without a savegame: the current account's save count for the current single-player
// mode (its savegame mark) goes back to 0. Nothing without a current account.
void AccountResetCurrentMissionValue();
