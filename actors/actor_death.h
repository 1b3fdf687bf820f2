// An actor's death as the game and plug-ins trigger it.
#pragma once

class Actor;

// The actor's die operation; null is ignored.
void die(Actor* actor);
