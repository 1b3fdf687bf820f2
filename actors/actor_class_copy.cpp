// A class derived from "default" starts as a deep copy of it: every table, group, entry, death and
// drive record and group name is duplicated, so that freeing either class leaves the other intact.
// The records hold only values and references to the caches' animations and sounds.
#include "actors/actor_class.h"

void ActorClassInfoCopy(const ActorClassInfo* source, ActorClassInfo* target)
{
    if (!source || !target || source == target)
        return;
    target->legsNames = source->legsNames;
    target->torsoNames = source->torsoNames;
    target->transitions = source->transitions;
    target->phases = source->phases;
    target->legsGroupCount = source->legsGroupCount;
    target->legsGroups = source->legsGroups;
    target->torsoGroupCount = source->torsoGroupCount;
    target->torsoGroups = source->torsoGroups;
    target->headGroup = source->headGroup;
    target->interphaseGroups = source->interphaseGroups;
    target->phaseGroups = source->phaseGroups;
    target->deathGroupCount = source->deathGroupCount;
    target->deathGroups = source->deathGroups;
    target->driveGroupCount = source->driveGroupCount;
    target->driveGroups = source->driveGroups;
    target->legsGroupNames = source->legsGroupNames;
    target->torsoGroupNames = source->torsoGroupNames;
}
