// The console command that brings the map's fog texture in line with changed fog settings.
#include "game/game_cvars.h"
#include "map/fog_textures.h"

namespace {

s32_t RefillFogTexture(const char*)
{
    MapFillFogTexture();
    return 0;
}

}  // namespace

ConsoleVar gx_fogtex("gx_fogtex", RefillFogTexture);
