// Sound sets (variants by level of detail, random picks), the table of an object's sets by
// property, and the reader of the sound script "sound".
#include <cstdio>
#include <cstdlib>
#include "core/strings/text_case.h"

#include "core/assert.h"
#include "core/log.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "core/sound/sound_system.h"
#include "world/objects/dynamic_object.h"

namespace {

const char* const kPropertyNames[SOUND_PROPERTY_COUNT + 1] = {
    "",
    "aim",
    "fire",
    "reload",
    "shot_done",
    "switch_to",
    "switch_from",
    "reload_empty",
    "shot_done_empty",
    "switch_to_empty",
    "switch_from_empty",
    "switch_to_sub",
    "switch_to_sub_empty",
    "reload_holster",
    "echo",
    "shell",
    "turn_on",
    "turn_off",
    "idle",
    "turn",
    "accelerate",
    "decelerate",
    "destroy",
    "death_head",
    "death_torso",
    "who_there",
    "grenade_near",
};

bool ValidLevel(s32_t level)
{
    return level >= 0 && level < MAX_SOUND_LODS;
}

}  // namespace

s32_t SoundPropertyIndex(const char* name)
{
    if (!name)
        return 0;
    for (s32_t i = 1; i <= SOUND_PROPERTY_COUNT; ++i)
        if (CompareNoCase(name, kPropertyNames[i]) == 0)
            return i;
    return 0;
}

// ---- sets ----

SoundSet::SoundSet() : instances{}, counts{}, lastPick(0), extraParam(0) {}

SoundSet::~SoundSet()
{
    for (SoundInstance** level : instances)
        std::free(level);
}

void SoundSet::Add(SoundInstance* instance, s32_t level)
{
    if (!instance)
        return;
    const s32_t lod = level;
    ENGINE_ASSERT(lod < MAX_SOUND_LODS);
    if (lod < 0)
        return;
    const s32_t count = counts[lod];
    SoundInstance** grown = static_cast<SoundInstance**>(
        std::realloc(instances[lod], sizeof(SoundInstance*) * static_cast<size_t>(count + 1)));
    if (!grown)
        return;
    grown[count] = instance;
    instances[lod] = grown;
    counts[lod] = count + 1;
}

SoundInstance* SoundSet::Pick(bool noRepeat, s32_t level)
{
    if (!ValidLevel(level))
        return nullptr;
    const s32_t n = counts[level];
    if (n == 0)
        return nullptr;
    if (n == 1) {
        lastPick = 0;
        return instances[level][0];
    }
    const s32_t r = EngineRand();
    if (!noRepeat)
        return instances[level][r % n];
    // One of the other variants: k stands for itself, or for the last variant when it is the repeat.
    const s32_t k = r % (n - 1);
    lastPick = k != lastPick ? k : n - 1;
    return instances[level][lastPick];
}

SoundInstance* SoundSet::Get(s32_t index, s32_t level) const
{
    if (!ValidLevel(level) || index < 0 || index >= counts[level])
        return nullptr;
    return instances[level][index];
}

SoundInstance* SoundSet::Last(s32_t level) const
{
    return Get(lastPick, level);
}

s32_t SoundSet::Count(s32_t level) const
{
    return ValidLevel(level) ? counts[level] : 0;
}

// ---- tables ----

SoundSetTable::SoundSetTable(const char* sectionName) : sets{}, name(sectionName) {}

SoundSetTable::~SoundSetTable()
{
    for (SoundSet* set : sets)
        delete set;
}

bool SoundSetTable::AddSet(const char* propertyName, SoundSet* set)
{
    const s32_t index = SoundPropertyIndex(propertyName);
    if (!set || index <= 0 || index >= SOUND_PROPERTY_SLOTS)
        return false;
    // A property named twice keeps its last set; the earlier one is not lost but freed.
    if (sets[index] != set)
        delete sets[index];
    sets[index] = set;
    return true;
}

SoundSet* SoundSetTable::Set(s32_t property) const
{
    return property >= 0 && property < SOUND_PROPERTY_SLOTS ? sets[property] : nullptr;
}

SoundInstance* SoundSetTable::Pick(s32_t property, bool noRepeat, s32_t level)
{
    SoundSet* set = Set(property);
    if (!set)
        return nullptr;
    SoundInstance* instance = set->Pick(noRepeat, level);
    return instance ? instance : set->Pick(noRepeat, 0);
}

SoundInstance* SoundSetTable::Get(s32_t property, s32_t index, s32_t level) const
{
    const SoundSet* set = Set(property);
    if (!set)
        return nullptr;
    SoundInstance* instance = set->Get(index, level);
    return instance ? instance : set->Get(index, 0);
}

s32_t SoundSetTable::GetParam(s32_t property) const
{
    const SoundSet* set = Set(property);
    return set ? set->extraParam : 0;
}

// ---- the sound script ----

namespace {

// Loads base, then base_0, base_1 ... up to the first gap, into one level of the set.
void LoadVariants(SoundSet& set, SoundSource* source, const char* folder, const char* base, s32_t level)
{
    char name[MAX_PATH];
    int length = std::snprintf(name, sizeof(name), "%s\\%s", folder, base);
    if (length > 0 && length < static_cast<int>(sizeof(name)))
        set.Add(SoundLoad(source, name, SOUND_MODE_OBJECT), level);
    for (int n = 0;; ++n) {
        if (folder[0] == 0)
            length = std::snprintf(name, sizeof(name), "%s_%d", base, n);
        else
            length = std::snprintf(name, sizeof(name), "%s\\%s_%d", folder, base, n);
        if (length < 0 || length >= static_cast<int>(sizeof(name)))
            return;
        SoundInstance* instance = SoundLoad(source, name, SOUND_MODE_OBJECT);
        if (!instance)
            return;
        set.Add(instance, level);
    }
}

}  // namespace

SoundSetTable* LoadSoundSets(DynamicObject* object, const char* sectionName)
{
    ScriptFile* script = GetScriptFile("sound", false);
    if (!script)
        return nullptr;
    ScriptSection* section = script->FindSection(sectionName ? sectionName : "");
    if (!section)
        return nullptr;

    SoundSource* source = object ? object->sound : nullptr;
    SoundSetTable* table = new SoundSetTable(section->Name());
    const char* folder = "";
    for (const ScriptCommand& command : section->commands) {
        const char* keyword = command.Keyword();
        if (CompareNoCase(keyword, "property") == 0) {
            if (command.WordCount() > 2 && CompareNoCase(command.Word(1), "path") == 0)
                folder = command.Word(2);
            continue;
        }
        if (CompareNoCase(keyword, "sound") != 0 || command.WordCount() < 3)
            continue;
        SoundSet* set = new SoundSet();
        for (int word = 3; word < command.WordCount(); ++word) {
            if (command.Word(word)[0] == 0)
                continue;  // the empty word of a blank before ';'
            const s32_t level = word - 3;
            if (level >= MAX_SOUND_LODS) {
                Log("WARNING: Sound '%s' of '%s' names more than %d levels; '%s' ignored\n", command.Word(2),
                    table->name.Text(), MAX_SOUND_LODS, command.Word(word));
                continue;
            }
            LoadVariants(*set, source, folder, command.Word(word), level);
        }
        int extra = 0;
        set->extraParam = std::sscanf(command.Word(1), "%d", &extra) == 1 ? extra : 0;
        if (!table->AddSet(command.Word(2), set))
            delete set;
    }
    return table;
}
