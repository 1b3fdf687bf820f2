// The game frame: what the main loop runs once per frame while a mission is up.
#include "game/game_flow.h"
#include "game/game_test_hooks.h"
#include "game/mission_frame.h"

void GameUpdateFrame(bool present)
{
    const GameTestHooks& hooks = GameGetTestHooks();
    if (hooks.frame)
        hooks.frame(present);
    // A test that stands in for the mission start has loaded no map to draw.
    if (hooks.missionStart)
        return;
    GamePrepareShadowsIfOn();
    GameMissionFrame(present);
}
