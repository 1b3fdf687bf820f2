// An actor's death as the game and plug-ins trigger it.
#pragma once

class Actor;

// The actor's die operation (host function "die"); null is ignored.
void ActorDie(Actor* actor);
