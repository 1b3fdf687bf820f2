// The renderer's debug switches: debug views, overlays and the particle effects. Readers test the
// value each time they need it.
#pragma once
#include "core/console_var.h"

extern ConsoleVar rbviewporttest;  // culling uses only the central half of the view rectangle
extern ConsoleVar rbdrawfps;       // the frame rate is printed on screen
extern ConsoleVar rbdrawtimes;     // the frame timings are shown
extern ConsoleVar rbict;           // culling and the game's visibility reference stop following the camera
extern ConsoleVar rbwireframe;     // passes draw in wireframe
extern ConsoleVar rbtraceraytest;  // a test trace from the camera is shown
extern ConsoleVar rbdrawaxis;      // axis lines are drawn as timed debug lines
extern ConsoleVar rbdrawstats;     // the statistics line of the frame
extern ConsoleVar rbparticles;     // particle effects reach the particle plug-ins
