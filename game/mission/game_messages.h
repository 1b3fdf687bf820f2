// Game messages for the player and the linking of an actor's body to another object's node.
#pragma once
#include "core/types.h"

class Actor;
class GraphNode;

// Prints "%s: %s" on console 4 with the sender ("global" without one) and the localized key, and
// plays the message sound named by the part of the key after its last ".", when one exists.
void GameShowMessage(const char* sender, const char* key);
// Hangs the actor's body node under the parent of the node, at the parent's dummy named parentDummy
// by the body's own dummy named bodyDummy (-1 where a dummy is missing). Nothing without actor or node.
void GameLinkActorBodyRange(Actor* actor, GraphNode* node, const char* bodyDummy, const char* parentDummy);
// The same with the parent-side dummy given by its mesh index (-1: none).
void GameLinkActorBody(Actor* actor, GraphNode* node, const char* bodyDummy, s32_t parentDummy);
// Hangs the actor's body node under its own root again, with no dummies.
void GameUnlinkActorBody(Actor* actor);
