// Reading actor classes: the full load of "default" (and of any class while "default" is not
// registered), the overlay of derived classes, and the class table.
//
// Every table and group is sized by what the script holds, and every write is checked against those
// sizes: what does not fit (a 17th class, a legs pose section "Interphases" or "Phases", a pose
// section of another name, a derived class with more groups or "anim" lines than "default", a second
// "anim" line in one torso animation section, more than 255 groups or entries) is reported with a
// "WARNING: " line and ignored. A missing "LEGS", "TORSO" or "DEATHS" section counts as empty (a
// derived class keeps what "default" has there), never as the script's root.

#include <cstring>
#include <string>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_class_lines.h"
#include "actors/actor_state.h"
#include "actors/anim_name_tables.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"

namespace {

constexpr s32_t kPoseInterphases = 3;
constexpr s32_t kPosePhases = 4;

bool Is(const char* word, const char* text)
{
    return CompareNoCase(word, text) == 0;
}

// The top-level section of that name; null when the script has none.
ScriptSection* TopSection(ScriptFile* script, const char* name)
{
    return script->Root()->FindChild(name);
}

ScriptSection* RequiredSection(const ClassReader& reader, ScriptFile* script, const char* name)
{
    ScriptSection* section = TopSection(script, name);
    if (!section)
        reader.Warn("script '%s' has no section '%s'", script->Name().Text(), name);
    return section;
}

// The number of children that the tables can hold, with a warning for the rest.
u32_t GroupsOf(const ClassReader& reader, const ScriptSection& section)
{
    const size_t count = section.children.size();
    if (count > ACTOR_CLASS_MAX_GROUPS) {
        reader.Warn("'%s' holds %zu sections; only the first %u are read", section.Name(), count,
                    ACTOR_CLASS_MAX_GROUPS);
        return ACTOR_CLASS_MAX_GROUPS;
    }
    return static_cast<u32_t>(count);
}

u32_t CapEntries(const ClassReader& reader, const ScriptSection& group, size_t count)
{
    if (count > ACTOR_CLASS_MAX_ENTRIES) {
        reader.Warn("group '%s' holds %zu entries of a kind; only the first %u are kept", group.Name(), count,
                    ACTOR_CLASS_MAX_ENTRIES);
        return ACTOR_CLASS_MAX_ENTRIES;
    }
    return static_cast<u32_t>(count);
}

// The pose index of a section of a group, or -1 (with a warning) for a name that is no pose section.
s32_t PoseOf(const ClassReader& reader, const ScriptSection& section, const ScriptSection& group)
{
    const s32_t pose = ActorPoseSectionIndex(section.Name());
    if (pose < 0)
        reader.Warn("section '%s' of '%s' is no pose section, ignored", section.Name(), group.Name());
    return pose;
}

// The running entry index of one kind of a group and the entry of its last accepted "anim" line.
struct Running {
    u32_t next = 0;
    AnimEntry* last = nullptr;
};

// An "anim" line for the next entry of a group: false (with a warning) when the line is short or the
// group has no entry left for it.
AnimEntry* TakeEntry(const ClassReader& reader, const ScriptCommand& line, AnimGroup& group, Running& running,
                     const char* groupName)
{
    running.last = nullptr;
    if (!ClassLineHasWords(reader, line, 3))
        return nullptr;
    if (running.next >= group.entries.size()) {
        reader.Warn("no entry left in group '%s' for anim '%s', line ignored", groupName, line.Word(1));
        return nullptr;
    }
    AnimEntry* entry = &group.entries[running.next];
    ClassReadAnimLine(reader, line, entry);
    running.last = entry;
    return entry;
}

// ---- LEGS ----

size_t CountLegsAnimLines(const ScriptSection& group)
{
    size_t count = 0;
    for (const ScriptSection* pose : group.children) {
        const s32_t index = ActorPoseSectionIndex(pose->Name());
        if (index < 0 || index >= ACTOR_POSES)
            continue;
        for (const ScriptCommand& line : pose->commands)
            count += Is(line.Keyword(), "anim") ? 1 : 0;
    }
    return count;
}

void ReadLegsGroup(const ClassReader& reader, const ScriptSection& section, u32_t g)
{
    ActorClassInfo* info = reader.info;
    AnimGroup& group = info->legsGroups[g];
    u8_t* row = &info->legsNames[static_cast<size_t>(g) * LEGS_TABLE_ROW];
    Running running;
    for (const ScriptSection* poseSection : section.children) {
        const s32_t pose = PoseOf(reader, *poseSection, section);
        if (pose < 0)
            continue;
        if (pose >= ACTOR_POSES) {
            reader.Warn("legs group '%s' cannot hold a section '%s', ignored", section.Name(), poseSection->Name());
            continue;
        }
        for (const ScriptCommand& line : poseSection->commands) {
            if (Is(line.Keyword(), "anim")) {
                if (TakeEntry(reader, line, group, running, section.Name())) {
                    LegsAnimMapSet(row, pose, line.Word(1), static_cast<u8_t>(running.next));
                    ++running.next;
                }
            } else if (Is(line.Keyword(), "adjust")) {
                ClassReadEntryLine(reader, line, running.last);
            }
        }
    }
}

void LoadLegs(const ClassReader& reader, const ScriptSection& legs)
{
    ActorClassInfo* info = reader.info;
    const u32_t count = GroupsOf(reader, legs);
    info->legsGroupCount = static_cast<u16_t>(count);
    info->legsGroups.assign(count, AnimGroup());
    info->legsGroupNames.assign(count, EngineString());
    info->legsNames.assign(static_cast<size_t>(count) * LEGS_TABLE_ROW, ANIM_CELL_NONE);
    for (u32_t g = 0; g < count; ++g) {
        const ScriptSection& section = *legs.children[g];
        info->legsGroupNames[g].Assign(section.Name());
        const u32_t entries = CapEntries(reader, section, CountLegsAnimLines(section));
        info->legsGroups[g].entries.resize(entries);
        info->legsGroups[g].entryCount = static_cast<u16_t>(entries);
        ReadLegsGroup(reader, section, g);
    }
}

void OverlayLegs(const ClassReader& reader, const ScriptSection& legs)
{
    for (u32_t g = 0; g < legs.children.size(); ++g) {
        if (g >= reader.info->legsGroupCount) {
            reader.Warn("legs group '%s' has no place in the groups of \"default\", ignored", legs.children[g]->Name());
            continue;
        }
        ReadLegsGroup(reader, *legs.children[g], g);
    }
}

// ---- TORSO ----

// A torso animation section ("aim", "shot", ...) of a pose: one "anim" line for its own entry.
void ReadTorsoAnimSection(const ClassReader& reader, const ScriptSection& section, s32_t pose, u32_t g,
                          Running& running, const char* groupName)
{
    ActorClassInfo* info = reader.info;
    bool sawAnim = false;
    running.last = nullptr;
    for (const ScriptCommand& line : section.commands) {
        if (!Is(line.Keyword(), "anim")) {
            ClassReadEntryLine(reader, line, running.last);
            continue;
        }
        if (sawAnim) {
            reader.Warn("torso section '%s' of group '%s' holds a second anim line, ignored", section.Name(),
                        groupName);
            running.last = nullptr;
            continue;
        }
        sawAnim = true;
        if (TakeEntry(reader, line, info->torsoGroups[g], running, groupName)) {
            u8_t* row = &info->torsoNames[static_cast<size_t>(g) * TORSO_TABLE_ROW];
            TorsoAnimMapSet(row, pose, section.Name(), static_cast<u8_t>(running.next));
            ++running.next;
        }
    }
}

// "Interphases" or "Phases": "anim" lines named by pose transitions or move phases.
void ReadTorsoList(const ClassReader& reader, const ScriptSection& section, AnimGroup& group, u8_t* row,
                   void (*mapSet)(u8_t*, const char*, u8_t), Running& running, const char* groupName)
{
    for (const ScriptCommand& line : section.commands) {
        if (!Is(line.Keyword(), "anim")) {
            ClassReadEntryLine(reader, line, running.last);
            continue;
        }
        if (TakeEntry(reader, line, group, running, groupName)) {
            mapSet(row, line.Word(1), static_cast<u8_t>(running.next));
            ++running.next;
        }
    }
}

void ReadTorsoGroup(const ClassReader& reader, const ScriptSection& section, u32_t g)
{
    ActorClassInfo* info = reader.info;
    Running torso, interphase, phase;
    for (const ScriptSection* child : section.children) {
        const s32_t pose = PoseOf(reader, *child, section);
        if (pose < 0)
            continue;
        if (pose < ACTOR_POSES) {
            for (const ScriptSection* animation : child->children)
                ReadTorsoAnimSection(reader, *animation, pose, g, torso, section.Name());
        } else if (pose == kPoseInterphases) {
            ReadTorsoList(reader, *child, info->interphaseGroups[g], &info->transitions[g * TORSO_TRANSITION_IDS],
                          TorsoTransitionMapSet, interphase, section.Name());
        } else if (pose == kPosePhases) {
            ReadTorsoList(reader, *child, info->phaseGroups[g], &info->phases[g * TORSO_MOVE_PHASE_IDS],
                          TorsoMovePhaseMapSet, phase, section.Name());
        }
    }
}

void LoadTorso(const ClassReader& reader, const ScriptSection& torso)
{
    ActorClassInfo* info = reader.info;
    const u32_t count = GroupsOf(reader, torso);
    info->torsoGroupCount = static_cast<u16_t>(count);
    info->torsoGroups.assign(count, AnimGroup());
    info->interphaseGroups.assign(count, AnimGroup());
    info->phaseGroups.assign(count, AnimGroup());
    info->torsoGroupNames.assign(count, EngineString());
    info->torsoNames.assign(static_cast<size_t>(count) * TORSO_TABLE_ROW, ANIM_CELL_NONE);
    info->transitions.assign(static_cast<size_t>(count) * TORSO_TRANSITION_IDS, ANIM_CELL_NONE);
    info->phases.assign(static_cast<size_t>(count) * TORSO_MOVE_PHASE_IDS, ANIM_CELL_NONE);
    for (u32_t g = 0; g < count; ++g) {
        const ScriptSection& section = *torso.children[g];
        info->torsoGroupNames[g].Assign(section.Name());
        // One torso entry per animation section of a pose, one interphase or phase entry per line.
        size_t animations = 0, interphases = 0, phases = 0;
        for (const ScriptSection* child : section.children) {
            const s32_t pose = ActorPoseSectionIndex(child->Name());
            if (pose >= 0 && pose < ACTOR_POSES)
                animations += child->children.size();
            else if (pose == kPoseInterphases)
                interphases += child->commands.size();
            else if (pose == kPosePhases)
                phases += child->commands.size();
        }
        info->torsoGroups[g].entries.resize(CapEntries(reader, section, animations));
        info->interphaseGroups[g].entries.resize(CapEntries(reader, section, interphases));
        info->phaseGroups[g].entries.resize(CapEntries(reader, section, phases));
        ReadTorsoGroup(reader, section, g);
    }
}

void OverlayTorso(const ClassReader& reader, const ScriptSection& torso)
{
    for (u32_t g = 0; g < torso.children.size(); ++g) {
        if (g >= reader.info->torsoGroupCount) {
            reader.Warn("torso group '%s' has no place in the groups of \"default\", ignored",
                        torso.children[g]->Name());
            continue;
        }
        ReadTorsoGroup(reader, *torso.children[g], g);
    }
}

// ---- DEATHS, H_M0, DRIVE ----

void LoadDeaths(const ClassReader& reader, const ScriptSection& deaths)
{
    ActorClassInfo* info = reader.info;
    const u32_t count = GroupsOf(reader, deaths);
    info->deathGroupCount = static_cast<u8_t>(count);
    info->deathGroups.assign(count, DeathGroup());
    for (u32_t g = 0; g < count; ++g) {
        const ScriptSection& section = *deaths.children[g];
        size_t definitions = 0;
        for (const ScriptSection* pose : section.children) {
            const s32_t index = ActorPoseSectionIndex(pose->Name());
            if (index >= 0 && index < ACTOR_POSES)
                definitions += pose->children.size();
        }
        DeathGroup& group = info->deathGroups[g];
        const u32_t records = CapEntries(reader, section, definitions);
        group.anims.assign(records, DeathAnim());
        group.count = static_cast<u8_t>(records);
        u32_t next = 0;
        for (const ScriptSection* pose : section.children) {
            const s32_t index = PoseOf(reader, *pose, section);
            if (index < 0)
                continue;
            if (index >= ACTOR_POSES) {
                reader.Warn("death group '%s' cannot hold a section '%s', ignored", section.Name(), pose->Name());
                continue;
            }
            for (const ScriptSection* definition : pose->children) {
                if (next >= records)
                    break;
                DeathAnim& record = group.anims[next++];
                record.pose = static_cast<u8_t>(index);
                ClassReadDeathDefinition(reader, *definition, &record);
            }
        }
    }
}

void LoadHead(const ClassReader& reader)
{
    AnimGroup& group = reader.info->headGroup;
    group.entries.assign(1, AnimEntry());
    group.entryCount = 1;
    AnimEntry& entry = group.entries[0];
    entry.animations[0] = reader.LoadAnim("H_M0");
    entry.animationCount = entry.animations[0] ? 1 : 0;
}

void LoadDrive(const ClassReader& reader, const ScriptSection* drive)
{
    ActorClassInfo* info = reader.info;
    const u32_t count = drive ? GroupsOf(reader, *drive) : 0;
    info->driveGroupCount = static_cast<u8_t>(count);
    info->driveGroups.assign(count, DriveGroup());
    for (DriveGroup& group : info->driveGroups) {
        group.anims.assign(count, DriveAnim());
        group.count = static_cast<u8_t>(count);
        for (u32_t j = 0; j < count; ++j)
            ClassReadDriveDefinition(reader, *drive->children[j], &group.anims[j]);
    }
}

void LoadFull(const ClassReader& reader, ScriptFile* script)
{
    if (ScriptSection* legs = RequiredSection(reader, script, "LEGS"))
        LoadLegs(reader, *legs);
    if (ScriptSection* torso = RequiredSection(reader, script, "TORSO"))
        LoadTorso(reader, *torso);
    if (ScriptSection* deaths = RequiredSection(reader, script, "DEATHS"))
        LoadDeaths(reader, *deaths);
    LoadHead(reader);
    LoadDrive(reader, TopSection(script, "DRIVE"));
}

bool Register(ActorClassInfo* info)
{
    if (g_actors.classCount >= ACTOR_MAX_CLASSES) {
        Log("WARNING: Actor class '%s' not loaded: the table holds %u classes\n", info->name.Text(), ACTOR_MAX_CLASSES);
        return false;
    }
    g_actors.classInfos[g_actors.classCount++] = info;
    return true;
}

}  // namespace

ActorClassInfo* ActorClassFind(const char* name)
{
    const size_t length = std::strlen(name ? name : "");
    for (u32_t slot = 0; slot < g_actors.classCount; ++slot) {
        ActorClassInfo* info = g_actors.classInfos[slot];
        if (info->name.Length() == length && CompareNoCase(info->name.Text(), name) == 0)
            return info;
    }
    return nullptr;
}

ActorClassInfo* ActorClassLoad(Actor* actor, const char* scriptName, const EngineString& className)
{
    if (ActorClassInfo* known = ActorClassFind(className.Text()))
        return known;
    if (g_actors.classCount >= ACTOR_MAX_CLASSES) {
        Log("WARNING: Actor class '%s' not loaded: the table holds %u classes\n", className.Text(), ACTOR_MAX_CLASSES);
        return nullptr;
    }
    ActorClassInfo* info = new ActorClassInfo();
    info->name.Assign(className);
    const ActorClassInfo* base = Is(className.Text(), "default") ? nullptr : ActorClassFind("default");
    if (base) {
        ActorClassInfoCopy(base, info);
        ActorClassParseAnimations(GetScriptFile(scriptName, false), actor, className, info);
    } else {
        ScriptFile* script = GetScriptFile(scriptName, false);
        if (!script) {
            delete info;
            return nullptr;
        }
        LoadFull(ClassReader{actor, className, info}, script);
    }
    if (!Register(info)) {
        delete info;
        return nullptr;
    }
    return info;
}

void ActorClassParseAnimations(ScriptFile* script, Actor* actor, const EngineString& className, ActorClassInfo* info)
{
    if (!script || !info)
        return;
    const ClassReader reader{actor, className, info};
    if (ScriptSection* legs = TopSection(script, "LEGS"))
        OverlayLegs(reader, *legs);
    if (ScriptSection* torso = TopSection(script, "TORSO"))
        OverlayTorso(reader, *torso);
    if (ScriptSection* deaths = TopSection(script, "DEATHS"))
        LoadDeaths(reader, *deaths);
}

void ActorClassInfosReset()
{
    for (ActorClassInfo*& slot : g_actors.classInfos)
        slot = nullptr;
    g_actors.classCount = 0;
}

void ActorClassInfosFree()
{
    for (u32_t slot = 0; slot < g_actors.classCount; ++slot) {
        delete g_actors.classInfos[slot];
        g_actors.classInfos[slot] = nullptr;
    }
    g_actors.classCount = 0;
}

u32_t ActorClassCount()
{
    return g_actors.classCount;
}

ActorClassInfo* ActorClassAt(u32_t slot)
{
    return slot < g_actors.classCount ? g_actors.classInfos[slot] : nullptr;
}
