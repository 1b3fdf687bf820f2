// The game frame's time step.
#pragma once

// Seconds since the previous game frame, clamped to 0.001..0.1 at the start of each game frame.
// Plug-ins read it through the host data entry of the same name.
extern float framedtime;
