// Lets tests run the program's outer loops without mission data: with a mission-start hook the
// mission start answers what the test sets instead of loading the map, and the game frame lets a
// test play the game's part once per frame.
#pragma once
#include "game/mission/mission_steps.h"

class DynamicObject;

struct GameTestHooks {
    // What GameInitMission answers while missionStart is set: negative for a map that cannot be
    // loaded, 0 or more for a mission that runs.
    int initMissionResult = -1;
    // When set, GameInitMission calls it with the map's name and answers initMissionResult.
    void (*missionStart)(const char* mapName) = nullptr;
    // Called by every GameUpdateFrame with its present flag, before the frame (which runs only
    // without a mission-start hook).
    void (*frame)(bool present) = nullptr;
    // Called by every game frame between its simulation (with the plug-ins' frame event) and its
    // drawing, so that a measurement can tell the two apart.
    void (*simulated)() = nullptr;
    // Called as each numbered step of the mission load and leave begins.
    void (*missionStep)(MissionRoad road, int step) = nullptr;
    // Called by the external camera's frame once its picture is drawn and before its frame end
    // presents it: the one point where a test can read that picture back from the device.
    void (*externalDrawn)() = nullptr;
    // Asked by the object factory for a class keyword outside its table: a test's own objects.
    DynamicObject* (*createObject)(const char* classKeyword) = nullptr;
};

// Replaces the hooks; GameSetTestHooks({}) gives the game its own behaviour back.
void GameSetTestHooks(const GameTestHooks& hooks);
const GameTestHooks& GameGetTestHooks();
