// A running mission's start and end as the frame sees them: the viewer placed at the start position
// ("-p" x y z, else above the map's centre), the mouse taken for the view, the game clock and the
// frame's late messages started afresh; and the mouse given back.
#pragma once

// Called once a mission has loaded.
void GameMissionFrameStart();
// Gives the mouse back (leaving the mission).
void GameMissionFrameEnd();
