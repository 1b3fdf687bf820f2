// Screenshots: the picture on screen saved as a BMP file in "screenshots\", named after the local
// date and time and a running number.
#pragma once
#include "core/types.h"

// Saves the picture: the presented frame in full screen, the frame being drawn when windowed.
// Reports on console 0.
void GameTakeScreenshot();
// Shifts the decimal text right and fills the front with '0' so that it is at least width
// characters long (nothing below width 2). The text's buffer must hold width + 1 characters.
void PadWithZeros(char* text, int width);
// Screenshots taken since the program started: the number the next one gets.
u32_t GameScreenshotCount();
