// The loading screen: drawn between the steps of the mission load (and by other long steps) with the
// text of the step and its progress, and the wait for a key before the mission starts.
#pragma once

class GuiScreen;

// Outside editor mode: a frame with the screen drawn over the whole view after the text becomes
// `gs_maploadprogress` and the percent `gi_maploadprogress`; the screen is remembered for
// GameDrawLoadingMessage. Without a screen the frame is begun and ended all the same.
void GameDrawLoadingProgress(const char* text, GuiScreen* screen, int percent);
// Outside editor mode: the remembered loading screen drawn again with a new text; the percent stays.
void GameDrawLoadingMessage(const char* text);
// The screen drawn frame by frame until a key or mouse button is down; then the key, button and
// action states are cleared, so that the key that ended the wait does nothing in the first frame.
// The view's yaw and pitch are kept through the polls.
void GameWaitForAnyKey(GuiScreen* screen);
// The loading screen GameDrawLoadingProgress remembered (null when none).
GuiScreen* GameLoadingScreen();
// One frame of the remembered loading screen with the visible console over it: what the player sees
// while the program halts after a mission that cannot load.
void GameDrawLoadingScreenAndConsole();
