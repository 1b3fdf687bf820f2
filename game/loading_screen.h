// The loading screen's text: what long steps (mission load, cache builds) show while they work.
#pragma once

// Outside editor mode, makes the text the current loading step. The loading screen that shows it
// comes with the mission load; until a mission load has drawn one, only the text is kept.
void GameDrawLoadingMessage(const char* text);
