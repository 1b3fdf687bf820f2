// The console variables of the front end.
#pragma once
#include "core/console_var.h"

// The language folder of the locale texts ("locale\" + language + "\").
extern ConsoleVar language;
// The language in force before the last language switch.
extern ConsoleVar prev_lang;
