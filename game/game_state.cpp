#include "game/game_state.h"

GameState g_game;

void GameSetPlayerVehicle(Vehicle* vehicle)
{
    g_game.playerVehicle = vehicle;
}

void GameForgetPlayerVehicle(const Vehicle* vehicle)
{
    if (g_game.playerVehicle == vehicle)
        g_game.playerVehicle = nullptr;
}
