// No account file is read yet: there is no logged-in account.
#include "game/accounts.h"

EngineString g_accountCurrentName;

void AccountsInit() {}
void AccountsShutdown() {}
s32_t AccountLogIn(const char*) { return 0; }
s32_t GameFillMissionInfo(const char*) { return 0; }
s32_t AccountDetermineNextMission(const char*) { return 0; }
void AccountResetCurrentMissionValue() {}
