// The world registry's upkeep of the relation lists (map/registry/actor_lists.h): an actor entering the world
// is listed under the team of its AI, and taken out again when it leaves or its team changes.
#pragma once

class Actor;

// With an AI whose team is 0, 1 or 2: appends the actor to that team's list (the cursor marks it);
// otherwise nothing.
void ActorSideListAdd(Actor* actor);
// With an AI: takes the actor out of its team's list (the last entry moves into its place). Without
// one: out of all three, in the order ENEMY, FRIEND, NEUTRAL.
void ActorSideListRemove(Actor* actor);
