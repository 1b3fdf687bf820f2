// The logged-in account as plug-ins reach it.
#pragma once

struct PlayerAccount;

// The logged-in account, or null while nobody is logged in.
PlayerAccount* GetCurrentAccount();
