// The script methods of the object envelope (stubs until filled).
#include "ai/envelope.h"

void DOEnvelope::IsPlayer(ScriptArgWord*) {}
void DOEnvelope::IsDestroyed(ScriptArgWord*) {}
void DOEnvelope::Destroy(ScriptArgWord*) {}
void DOEnvelope::LockTarget(ScriptArgWord*) {}
void DOEnvelope::MoveTo(ScriptArgWord*) {}
void DOEnvelope::Hold(ScriptArgWord*) {}
void DOEnvelope::RotateToPoint(ScriptArgWord*) {}
void DOEnvelope::Take(ScriptArgWord*) {}
void DOEnvelope::TakeObject(ScriptArgWord*) {}
void DOEnvelope::HasItem(ScriptArgWord*) {}
void DOEnvelope::ExecParticleSet(ScriptArgWord*) {}
void DOEnvelope::SetFrame(ScriptArgWord*) {}
void DOEnvelope::LockTargetOrMoveTo(ScriptArgWord*) {}
void DOEnvelope::SetBehavRecon(ScriptArgWord*) {}
void DOEnvelope::SetBehavAggres(ScriptArgWord*) {}
void DOEnvelope::SetBehavNormal(ScriptArgWord*) {}
void DOEnvelope::SetStandMode(ScriptArgWord*) {}
void DOEnvelope::SetCrouchMode(ScriptArgWord*) {}
void DOEnvelope::SetProneMode(ScriptArgWord*) {}
void DOEnvelope::ReportHealth(ScriptArgWord*) {}
void DOEnvelope::FollowPlayer(ScriptArgWord*) {}
void DOEnvelope::ReportPosition(ScriptArgWord*) {}
void DOEnvelope::ReportSight(ScriptArgWord*) {}
void DOEnvelope::ReportStatus(ScriptArgWord*) {}
void DOEnvelope::MSALMoveTo(ScriptArgWord*) {}
void DOEnvelope::MSALMoveToPt(ScriptArgWord*) {}
void DOEnvelope::MSALUse(ScriptArgWord*) {}
void DOEnvelope::MSALTake(ScriptArgWord*) {}
void DOEnvelope::MSALEliminate(ScriptArgWord*) {}
void DOEnvelope::MSALSetPoseMode(ScriptArgWord*) {}
void DOEnvelope::MSALSetMovementMode(ScriptArgWord*) {}
void DOEnvelope::MSALFireObjectEvent(ScriptArgWord*) {}
void DOEnvelope::Say(const char*) const {}
