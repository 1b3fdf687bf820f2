// The lines of actor class scripts that fill animation entries and death and drive records, shared
// by the class loader's section walks. Every fault of a line is reported with a "WARNING: " line in
// the log and the line (or its excess) is skipped.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class Actor;
class AnimMesh;
struct ActorClassInfo;
struct AnimEntry;
struct DeathAnim;
struct DriveAnim;
struct ScriptCommand;
struct ScriptSection;

// What the lines of one class are read for: the actor that loads the animation files, and the class.
struct ClassReader {
    Actor* actor;
    const EngineString& className;
    ActorClassInfo* info;

    // The animation file "..\model\<class>\<file>" through the actor; null when it is not found
    // (the loader has logged it) or there is no actor.
    AnimMesh* LoadAnim(const char* file) const;
    // A "WARNING: " line naming the class.
    void Warn(const char* format, ...) const __attribute__((format(printf, 2, 3)));
};

// True when the line has at least count words (the command word included); else warns and false.
bool ClassLineHasWords(const ClassReader& reader, const ScriptCommand& line, int count);
// An "anim" line (anim, name, speed, file, ...; "reverseframes" anywhere after the speed): the
// entry's animation count, speed and reverse flag are reset and its files loaded. The line must have
// its three first words. Up to 4 file words are taken; the animations that load fill the slots
// from 0 on and are counted.
void ClassReadAnimLine(const ClassReader& reader, const ScriptCommand& line, AnimEntry* entry);
// "triggerframe", "modify" and "adjust" lines for the entry of the last "anim" line (null when the
// group has none, or that line was skipped). False for any other command word (ignored).
bool ClassReadEntryLine(const ClassReader& reader, const ScriptCommand& line, AnimEntry* target);
// The lines of a death definition section.
void ClassReadDeathDefinition(const ClassReader& reader, const ScriptSection& section, DeathAnim* record);
// The "anim" lines of a drive definition section.
void ClassReadDriveDefinition(const ClassReader& reader, const ScriptSection& section, DriveAnim* record);
