// Lets tests run the program's outer loops before missions exist: the stand-in mission start answers
// what a test sets, and the stand-in game frame lets a test play the game's part once per frame.
#pragma once

struct GameTestHooks {
    // What GameInitMission answers: negative (the default) for a map that cannot be loaded, 0 or more
    // for a mission that runs.
    int initMissionResult = -1;
    // Called by GameInitMission with the map's name, before it answers.
    void (*missionStart)(const char* mapName) = nullptr;
    // Called by every GameUpdateFrame with its present flag.
    void (*frame)(bool present) = nullptr;
};

// Replaces the hooks; GameSetTestHooks({}) gives the stand-ins their own behaviour back.
void GameSetTestHooks(const GameTestHooks& hooks);
