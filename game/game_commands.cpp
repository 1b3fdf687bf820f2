// The game's commands whose work belongs to the front end and the game flow still to come: until then
// each answers as a command that did nothing wrong, and changes nothing.
#include "game/game_commands.h"

s32_t GameUpdateWeaponInfo(const char*)
{
    // The argument is a weapon list of the screens, never a text: a typed line gives nothing to read.
    return -1;
}
