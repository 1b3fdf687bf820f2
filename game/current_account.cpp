// Accounts are not read yet, so nobody is logged in.
#include "game/current_account.h"

PlayerAccount* GetCurrentAccount()
{
    return nullptr;
}
