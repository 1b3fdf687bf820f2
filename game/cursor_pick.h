// What lies under the command-menu cursor. The player control picks it each frame; until it does,
// the pick is a plain stored value.
#pragma once

class Envelope;

// The envelope under the cursor, or null.
Envelope* GamePickObjectAtCursor();
void GameSetPickedObject(Envelope* envelope);
