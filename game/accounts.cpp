// No account file is read yet: there is no logged-in account.
#include "game/accounts.h"
#include "game/game_state.h"

void AccountsInit() {}
void AccountsShutdown()
{
    g_game.accountName.Clear();
}
s32_t AccountLogIn(const char*)
{
    return 0;
}
s32_t GameFillMissionInfo(const char*)
{
    return 0;
}
s32_t AccountDetermineNextMission(const char*)
{
    return 0;
}
void AccountResetCurrentMissionValue() {}
