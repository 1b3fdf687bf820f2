// Lets tests play the player's part at the front end's screens.
#pragma once
#include "core/types.h"

// While set, called by every GuiFrame with the caller's state word in place of the frame's input step
// (GuiInputStep: the pointer, the keys and the exit actions). It may write the state word, as a
// screen's exit action does, and answers true while the screen stays up; false closes it.
using GuiTestFrameHook = bool (*)(s32_t* stateWord);
// Null gives the frame its input step back.
void GuiSetTestFrameHook(GuiTestFrameHook hook);

// While set, called at the start of every GuiFrame, before drawing and input: a test driver acts on
// the screen that is current (injecting input for the frames after it).
using GuiFrameObserver = void (*)();
void GuiSetFrameObserver(GuiFrameObserver observer);
