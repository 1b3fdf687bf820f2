#include "actors/actor_class_lines.h"

#include "core/strings/text_case.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "actors/actor.h"
#include "actors/actor_words.h"
#include "actors/anim_entry.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/sound/sound_sets.h"

namespace {

constexpr int kAnimFirstFile = 3;

bool Is(const char* word, const char* text)
{
    return CompareNoCase(word, text) == 0;
}

// A slot word of 0..4; -1 (with a warning) for any other number.
int SlotWord(const ClassReader& reader, const ScriptCommand& line, int index)
{
    const s32_t slot = ActorWordInt(line.Word(index));
    if (slot < 0 || slot >= ANIM_TRIGGER_SLOTS) {
        reader.Warn("slot %d of '%s' line is not 0 to 4, line ignored", slot, line.Keyword());
        return -1;
    }
    return slot;
}

// At most 63 characters and the terminating zero.
void CopyAdjustName(char* out, const char* name)
{
    const size_t length = std::min(std::strlen(name), static_cast<size_t>(ANIM_ADJUST_NAME_SIZE - 1));
    std::memcpy(out, name, length);
    out[length] = '\0';
}

void ReadTriggerFrame(const ClassReader& reader, const ScriptCommand& line, AnimEntry* target)
{
    if (!ClassLineHasWords(reader, line, 3))
        return;
    const int slot = SlotWord(reader, line, 1);
    if (slot >= 0)
        target->triggerFrames[slot] = static_cast<u16_t>(ActorWordInt(line.Word(2)));
}

void ReadModify(const ClassReader& reader, const ScriptCommand& line, AnimEntry* target)
{
    if (!ClassLineHasWords(reader, line, 6))
        return;
    const int slot = SlotWord(reader, line, 2);
    if (slot < 0)
        return;
    AnimModify& modify = target->modifications[slot];
    const char* channel = line.Word(1);
    if (Is(channel, "head"))
        modify.channel = ANIM_CHANNEL_HEAD;
    else if (Is(channel, "torso"))
        modify.channel = ANIM_CHANNEL_TORSO;
    else if (Is(channel, "legs"))
        modify.channel = ANIM_CHANNEL_LEGS;
    modify.a = ActorWordFloat(line.Word(3));
    modify.b = ActorWordFloat(line.Word(4));
    modify.c = ActorWordFloat(line.Word(5));
}

void ReadAdjust(const ClassReader& reader, const ScriptCommand& line, AnimEntry* target)
{
    if (!ClassLineHasWords(reader, line, 8))
        return;
    const int slot = SlotWord(reader, line, 2);
    if (slot < 0)
        return;
    AnimAdjustBlock& block = target->adjustments[slot];
    const char* channel = line.Word(1);
    const bool head = Is(channel, "head");
    if (!head && !Is(channel, "torso"))
        return;
    u16_t& count = head ? block.headCount : block.torsoCount;
    if (count >= ANIM_ADJUST_MAX) {
        reader.Warn("%s adjustment list of slot %d already holds %d, line ignored", channel, slot, ANIM_ADJUST_MAX);
        return;
    }
    const Vector3 offset{ActorWordFloat(line.Word(3)), ActorWordFloat(line.Word(4)), ActorWordFloat(line.Word(5))};
    const u8_t code = static_cast<u8_t>(ActorWordInt(line.Word(7)));
    if (head) {
        block.headOffsets[count] = offset;
        CopyAdjustName(block.headNames[count], line.Word(6));
        block.headCodes[count] = code;
    } else {
        block.torsoOffsets[count] = offset;
        CopyAdjustName(block.torsoNames[count], line.Word(6));
        block.torsoCodes[count] = code;
    }
    ++count;
}

}  // namespace

AnimMesh* ClassReader::LoadAnim(const char* file) const
{
    if (!actor)
        return nullptr;
    const std::string name = std::string("..\\model\\") + className.Text() + "\\" + file;
    AnimMesh* mesh = nullptr;
    EngineString folder;
    actor->LoadAnim(name.c_str(), &mesh, &folder);
    return mesh;
}

void ClassReader::Warn(const char* format, ...) const
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    Log("WARNING: Actor class '%s': %s\n", className.Text(), text);
}

bool ClassLineHasWords(const ClassReader& reader, const ScriptCommand& line, int count)
{
    if (line.WordCount() >= count)
        return true;
    reader.Warn("'%s' line has %d words, %d needed; line ignored", line.Keyword(), line.WordCount(), count);
    return false;
}

void ClassReadAnimLine(const ClassReader& reader, const ScriptCommand& line, AnimEntry* entry)
{
    entry->animationCount = 0;
    entry->speed = ActorWordFloat(line.Word(2));
    entry->reverse = 0;
    int fileWords = 0;
    for (int word = kAnimFirstFile; word < line.WordCount(); ++word) {
        if (Is(line.Word(word), "reverseframes")) {
            entry->reverse = 1;
            continue;
        }
        if (++fileWords > MAX_ANIM_ALIASES) {
            reader.Warn("anim '%s' names more than %d files, '%s' ignored", line.Word(1), MAX_ANIM_ALIASES,
                        line.Word(word));
            continue;
        }
        if (AnimMesh* mesh = reader.LoadAnim(line.Word(word)))
            entry->animations[entry->animationCount++] = mesh;
    }
    for (int slot = entry->animationCount; slot < MAX_ANIM_ALIASES; ++slot)
        entry->animations[slot] = nullptr;
}

bool ClassReadEntryLine(const ClassReader& reader, const ScriptCommand& line, AnimEntry* target)
{
    const char* keyword = line.Keyword();
    void (*read)(const ClassReader&, const ScriptCommand&, AnimEntry*) = nullptr;
    if (Is(keyword, "triggerframe"))
        read = ReadTriggerFrame;
    else if (Is(keyword, "modify"))
        read = ReadModify;
    else if (Is(keyword, "adjust"))
        read = ReadAdjust;
    else
        return false;
    if (!target) {
        reader.Warn("'%s' line follows no anim line of its group, line ignored", keyword);
        return true;
    }
    read(reader, line, target);
    return true;
}

void ClassReadDeathDefinition(const ClassReader& reader, const ScriptSection& section, DeathAnim* record)
{
    for (const ScriptCommand& line : section.commands) {
        const char* keyword = line.Keyword();
        if (Is(keyword, "anim")) {
            if (!ClassLineHasWords(reader, line, 4))
                continue;
            AnimMesh* mesh = reader.LoadAnim(line.Word(3));
            DeathAnimSetChannel(record, line.Word(1), mesh, ActorWordFloat(line.Word(2)));
        } else if (Is(keyword, "exclude")) {
            if (line.WordCount() < 2)
                continue;
            record->excludeNames.clear();
            for (int word = 1; word < line.WordCount(); ++word)
                record->excludeNames.emplace_back(line.Word(word));
            record->excludeCount = static_cast<u32_t>(record->excludeNames.size());
        } else if (Is(keyword, "sound")) {
            if (!ClassLineHasWords(reader, line, 2))
                continue;
            record->sound = SoundLoad(reader.actor ? reader.actor->sound : nullptr, line.Word(1), SOUND_MODE_OBJECT);
        } else if (Is(keyword, "minangle") || Is(keyword, "maxangle")) {
            if (!ClassLineHasWords(reader, line, 2))
                continue;
            (Is(keyword, "minangle") ? record->minAngle : record->maxAngle) = ActorWordFloat(line.Word(1));
        }
    }
}

void ClassReadDriveDefinition(const ClassReader& reader, const ScriptSection& section, DriveAnim* record)
{
    record->name.Assign(section.Name());
    for (const ScriptCommand& line : section.commands) {
        if (!Is(line.Keyword(), "anim") || !ClassLineHasWords(reader, line, 4))
            continue;
        AnimMesh* mesh = reader.LoadAnim(line.Word(3));
        DriveAnimSetChannel(record, line.Word(1), mesh, ActorWordFloat(line.Word(2)));
    }
}
