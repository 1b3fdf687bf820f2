// The group table, "mission.cog" and the chains.
#include "world/wires/wires.h"

#include "core/strings/finite_number.h"
#include "core/strings/text_case.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "map/registry/world_registry.h"
#include "render/textures/texture_manager.h"
#include "world/wires/wire_shadows.h"
#include "world/wires/wire_state.h"

ConObjState g_conObj;

ConObjPointSet::~ConObjPointSet()
{
    WireFreeShadowMeshes(shadows);
}

ConObjGroup::~ConObjGroup()
{
    for (ConObjPointSet* set = first; set;) {
        ConObjPointSet* next = set->next;
        delete set;
        set = next;
    }
}

s32_t WireGroupCount()
{
    return g_conObj.groupCount;
}

ConObjGroup* WireGetGroup(s32_t index)
{
    return index >= 0 && index < g_conObj.groupCount ? g_conObj.groups[index] : nullptr;
}

bool WireCutEnabled()
{
    return g_conObj.wireCutEnabled != 0;
}

void WireSetCutEnabled(bool enabled)
{
    g_conObj.wireCutEnabled = enabled ? 1 : 0;
}

const SightedWire& WireGetSighted()
{
    return g_conObj.sighted;
}

namespace {

constexpr float kFileLengthScale = 10.0f;

// A value that does not read as a (finite) number gives 0.
float ReadFloat(const char* text)
{
    return FiniteFloatOrZero(text);
}

s32_t ReadInt(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    return static_cast<s32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

void DeleteGroups()
{
    for (s32_t i = 0; i < g_conObj.groupCount; ++i) {
        delete g_conObj.groups[i];
        g_conObj.groups[i] = nullptr;
    }
    g_conObj.groupCount = 0;
    g_conObj.sighted = SightedWire();
}

constexpr int kGroupValues = 7;

}  // namespace

void WireFillGroup(ConObjGroup* group, const char* name, const char* profile, const char* texture, float width,
                   float sag, float textureLength, s32_t segments)
{
    group->name.Assign(name);
    group->profile = CompareNoCase(profile ? profile : "", "YFLAT") == 0 ? WIRE_PROFILE_YFLAT : WIRE_PROFILE_CROSS;
    group->width = width * kFileLengthScale;
    group->sag = sag * kFileLengthScale;
    group->textureLength = textureLength * kFileLengthScale;
    group->segments = segments < 0 || segments > MAX_WIRE_SEGMENTS ? MAX_WIRE_SEGMENTS : static_cast<u32_t>(segments);
    group->texture = nullptr;
    if (texture && texture[0])
        group->texture = TextureFindOrLoad((std::string(TEXTURE_SHARED_FOLDER) + texture).c_str());
}

bool WireRegisterGroup(ConObjGroup* group)
{
    if (g_conObj.groupCount >= MAX_WIRE_GROUPS)
        return false;
    g_conObj.groups[g_conObj.groupCount++] = group;
    return true;
}

void ChainAppend(ConObjGroup* group, ConObjPointSet* set)
{
    set->prev = group->last;
    set->next = nullptr;
    if (group->last)
        group->last->next = set;
    else
        group->first = set;
    group->last = set;
    ++group->pointSetCount;
}

void ChainInsert(ConObjGroup* group, ConObjPointSet* set, s32_t index)
{
    ConObjPointSet* before = index <= 0 ? group->first : ChainAt(group, index);
    if (!before) {
        ChainAppend(group, set);
        return;
    }
    set->next = before;
    set->prev = before->prev;
    if (before->prev)
        before->prev->next = set;
    else
        group->first = set;
    before->prev = set;
    ++group->pointSetCount;
}

ConObjPointSet* ChainAt(const ConObjGroup* group, s32_t index)
{
    if (index < 0 || static_cast<u32_t>(index) >= group->pointSetCount)
        return nullptr;
    ConObjPointSet* set;
    if (static_cast<u32_t>(index) < group->pointSetCount / 2) {
        set = group->first;
        for (s32_t i = 0; set && i < index; ++i)
            set = set->next;
    } else {
        set = group->last;
        for (u32_t i = group->pointSetCount - 1; set && i > static_cast<u32_t>(index); --i)
            set = set->prev;
    }
    return set;
}

void ChainUnlink(ConObjGroup* group, ConObjPointSet* set)
{
    if (set->prev)
        set->prev->next = set->next;
    else
        group->first = set->next;
    if (set->next)
        set->next->prev = set->prev;
    else
        group->last = set->prev;
    set->prev = set->next = nullptr;
    --group->pointSetCount;
}

void ConObjLoad(const char* missionFolder)
{
    const std::string path = std::string(missionFolder ? missionFolder : "") + "\\mission.cog";
    DefFile* file = DefFileLoad(path.c_str());
    if (!file)
        return;
    // A second load replaces the groups of the first.
    DeleteGroups();
    ConObjGroup* current = nullptr;
    bool skippingGroup = false;  // the "add" lines of a group that found no room go with it
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        const char* key = entry->key.Text();
        if (CompareNoCase(key, "group") == 0) {
            if (entry->valueCount < kGroupValues)
                ConPrint(0, "WARNING: '%s' line %d: group '%s' has %d of %d values\n", path.c_str(), entry->line,
                         entry->Value(0), entry->valueCount, kGroupValues);
            if (g_conObj.groupCount >= MAX_WIRE_GROUPS) {
                ConPrint(0, ERROR_COLOUR "Too many connection object groups (max %d), '%s' skipped!\n", MAX_WIRE_GROUPS,
                         entry->Value(0));
                current = nullptr;
                skippingGroup = true;
                continue;
            }
            current = new ConObjGroup;
            WireFillGroup(current, entry->Value(0), entry->Value(1), entry->Value(4), ReadFloat(entry->Value(2)),
                          ReadFloat(entry->Value(3)), ReadFloat(entry->Value(5)), ReadInt(entry->Value(6)));
            WireRegisterGroup(current);
            skippingGroup = false;
        } else if (CompareNoCase(key, "add") == 0) {
            const char* objectName = entry->Value(0);
            if (!current) {
                if (!skippingGroup)
                    ConPrint(0, ERROR_COLOUR "Connection object '%s' is not in a group!\n", objectName);
                continue;
            }
            DynamicObject* object = DynObjectGet(DynObjectFindIndex(objectName));
            if (!object) {
                ConPrint(0, ERROR_COLOUR "Invalid connection object '%s'!\n", objectName);
                continue;
            }
            if (ConObjPointSet* set = WireBuildPointSet(object))
                ChainAppend(current, set);
        }
    }
    DefFileRelease(file);
    WireRegisterScriptFunctions();
}

void ConObjFreeAll()
{
    DeleteGroups();
    g_conObj.wireCutEnabled = 0;
}
