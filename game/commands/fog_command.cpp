// The console command that brings the map's fog texture in line with changed fog settings.
#include "game/commands/game_commands.h"
#include "map/land_maps/fog_textures.h"

s32_t GameFogTexture(const char*)
{
    MapFillFogTexture();
    return 0;
}
