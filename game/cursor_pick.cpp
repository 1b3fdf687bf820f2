#include "game/cursor_pick.h"

namespace {
Envelope* g_picked = nullptr;
}  // namespace

Envelope* GamePickObjectAtCursor()
{
    return g_picked;
}

void GameSetPickedObject(Envelope* envelope)
{
    g_picked = envelope;
}
