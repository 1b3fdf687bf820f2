// The steps that move and pose an actor's body between its operations: the aim-adjust bracket, the
// ground following and falling, the jump arc, the collision push-out, the AI steering and the
// frame's animation step. The actor's operations and its per-frame update call them.
#pragma once
#include "actors/actor.h"
#include "world/nodes/graph_node.h"

// Angles and factors the movement code works in.
constexpr float kActorDegToRad = 0.017453292f;
constexpr float kActorPi = 3.1415927f;
constexpr float kActorTwoPi = 6.2831855f;
constexpr float kActorHalfPi = 1.5707964f;
constexpr float kActorThird = 0.33333334f;

// The body node (first child of the root), the torso node (first child of the body) and the head
// node (first child of the torso); null where the tree stops short.
inline GraphNode* ActorChildNode(GraphNode* node)
{
    return node && node->GetChildCount() > 0 ? node->GetChild(0) : nullptr;
}
inline GraphNode* ActorBodyNode(const Actor* actor)
{
    return ActorChildNode(actor->GetRootNode());
}
inline GraphNode* ActorTorsoNode(const Actor* actor)
{
    return ActorChildNode(ActorBodyNode(actor));
}
inline GraphNode* ActorHeadNode(const Actor* actor)
{
    return ActorChildNode(ActorTorsoNode(actor));
}
// The legs name id of a movement mode; -1 for none.
s32_t LegsIdOfMode(s32_t mode);
// Sets one rotation component (0 first, 1 second, 2 third) of a node; nothing without the node.
void ActorSetNodeAngle(GraphNode* node, int component, float value);
float ActorNodeAngle(const GraphNode* node, int component);

// The bracket around every change of stance, mode, weapon, torso action or heading: remove (true)
// takes the current phase's angle offsets off the body, torso and head nodes; apply (false) puts the
// offsets of the phase that is current then back. Nothing for a dead actor.
void ActorAimAdjust(Actor* actor, bool remove);
// Head offsets (head list) and torso offsets (torso list), radians, added (or with remove taken off).
void ActorApplyNodeOffsets(Actor* actor, const Vector3& headOffsets, const Vector3& torsoOffsets, bool applyHead,
                           bool remove);
// Body node third angle = -heading; the torso's and head's second angles 0.
void ActorAlignBody(Actor* actor);
// The pitch operation with the current pitch.
void ActorReapplyPitch(Actor* actor);

// Ground following and falling; with snap the actor is put on the terrain and nothing else.
void ActorFollowGround(Actor* actor, bool snap);
// One frame of a jump in flight.
void ActorJumpStep(Actor* actor);
// Pushes the actor out of the objects round it.
void ActorCollide(Actor* actor);
// The AI move step of a soldier: the steering, then the mission-script hook.
void ActorAiMoveStep(Actor* actor);
void ActorSteer(Actor* actor);
void ActorScriptHook(Actor* actor);
// A soldier working a mounted weapon with no path to walk: the weapon holds his seat, pose and turn.
bool ActorMountedWithoutGoal(const Actor* actor);

// The frame's animation step (legs and torso animations, one-shots, stance requests, ground).
void ActorAnimationStep(Actor* actor);
// One frame of a turn on the spot; the idle animation's own frame rate.
float ActorTurnInPlace(Actor* actor);

// The two oxygen steps: rate per second times the frame time, bounded by 0 and oxygenMax.
void ActorOxygenDrain(Actor* actor, float rate);
void ActorOxygenRefill(Actor* actor, float rate);

// The frame time of the game frame in seconds.
float ActorFrameTime();
