// The console variables of the front end.
#pragma once
#include "core/console/console_var.h"

// The language folder of the locale texts ("locale\" + language + "\").
extern ConsoleVar language;
// The language in force before the last language switch.
extern ConsoleVar prev_lang;
// The mission list shows every mission, not only the ones the campaign has opened.
extern ConsoleVar gballmissions;
// False: no screen draws (the HUD's world-marker layers neither).
extern ConsoleVar gb_showgui;
