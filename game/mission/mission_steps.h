// The numbered steps of the mission load (1-28) and leave (1-9): each step announces itself to the
// test hook (game/game_test_hooks.h), so that a test sees the order the steps run in.
#pragma once

enum MissionRoad { MISSION_LOAD = 0, MISSION_LEAVE = 1 };

// Tells the test hook, when one is set, that the step begins.
void MissionStep(MissionRoad road, int step);
