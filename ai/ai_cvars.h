// The console variables of the AI.
#pragma once
#include "core/console/console_var.h"

// Off: no rule updates at all; enabled rules stay enabled and keep their state.
extern ConsoleVar rbrules;
