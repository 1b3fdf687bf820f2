// The loading line: the text of the current loading step, which the long steps of any subsystem
// (cache builds, the mission load) set while they work and the game's loading screen shows.
#pragma once

// Outside editor mode, makes the text the current loading step (gs_maploadprogress).
void LoadingLineShow(const char* text);
