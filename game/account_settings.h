// Settings stored with each player account.
#pragma once
#include "core/console_var.h"

// Texture quality: "VERY LOW", "LOW", "MEDIUM" or "HIGH" (read by the texture manager).
extern ConsoleVar as_tqmod;
