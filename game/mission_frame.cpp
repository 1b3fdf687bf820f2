#include "game/mission_frame.h"

#include "core/frame_view.h"
#include "core/input.h"
#include "core/winos.h"
#include "game/game_frame.h"
#include "game/mouse_look.h"
#include "game/player_view.h"
#include "map/terrain_height.h"
#include "map/map_caches.h"

namespace {

constexpr float kStartHeight = 30.0f;  // above the ground when no "-p" is given

}  // namespace

void GameMissionFrameStart()
{
    float* position = GameGetViewPos();
    const Vector3 start = g_program.startOptions.startPosition;
    if (start.x != 0.0f || start.y != 0.0f || start.z != 0.0f) {
        position[0] = start.x;
        position[1] = start.y;
        position[2] = start.z;
    } else {
        Vector3 low, high;
        MapGetBox(&low, &high);
        const bool hasBox = low.x <= high.x && low.z <= high.z;
        position[0] = hasBox ? (low.x + high.x) * 0.5f : 0.0f;
        position[2] = hasBox ? (low.z + high.z) * 0.5f : 0.0f;
        position[1] = MapTerrainHeight(position[0], position[2], nullptr, nullptr) + kStartHeight;
    }
    g_frameView.gameTime = 0.0f;
    GameFrameMessagesReset();
    InputSetMouseMoveListener(MouseLookUpdate);
}

void GameMissionFrameEnd()
{
    if (g_input.mouseMoveListener == MouseLookUpdate)
        InputSetMouseMoveListener(nullptr);
}
