// Lets tests play the front end's part before screen scripts exist.
#pragma once
#include "core/types.h"

// While set, called by every GuiFrame with the caller's state word in place of the stand-in's own rule
// (a released Escape or a close request quits). It may write the state word, as a screen's exit action
// does, and answers true while the screen stays up; false closes it.
using GuiTestFrameHook = bool (*)(s32_t* stateWord);
// Null gives the stand-in its own rule back.
void GuiSetTestFrameHook(GuiTestFrameHook hook);

// While set, called at the start of every GuiFrame, before drawing and input: a test driver acts on
// the screen that is current (injecting input for the frames after it).
using GuiFrameObserver = void (*)();
void GuiSetFrameObserver(GuiFrameObserver observer);
