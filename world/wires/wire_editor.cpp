// The scene editor's operations on wire groups.
#include "world/objects/graph_obj.h"
#include "world/wires/wire_state.h"

namespace {

s32_t GroupIndex(const ConObjGroup* group)
{
    for (s32_t i = 0; i < g_conObj.groupCount; ++i) {
        if (g_conObj.groups[i] == group)
            return i;
    }
    return -1;
}

bool InTable(const ConObjGroup* group)
{
    return group && GroupIndex(group) >= 0;
}

}  // namespace

int ConObjGroupSetup(ConObjGroup* group, const char* name, const char* profile, const char* texture, float width,
                     float sag, float textureLength, s32_t segments)
{
    if (!group)
        return 0;
    WireFillGroup(group, name, profile, texture, width, sag, textureLength, segments);
    return 1;
}

ConObjGroup* ConObjCreateGroup(const char* name, const char* profile, const char* texture, float width, float sag,
                               float textureLength, s32_t segments)
{
    if (g_conObj.groupCount >= MAX_WIRE_GROUPS)
        return nullptr;
    ConObjGroup* group = new ConObjGroup;
    WireFillGroup(group, name, profile, texture, width, sag, textureLength, segments);
    WireRegisterGroup(group);
    return group;
}

int ConObjGroupAppendObject(ConObjGroup* group, DynamicObject* object)
{
    return ConObjGroupInsertObject(group, object, -1);
}

int ConObjGroupInsertObject(ConObjGroup* group, DynamicObject* object, s32_t index)
{
    if (!InTable(group))
        return 0;
    ConObjPointSet* set = WireBuildPointSet(object);
    if (!set)
        return 0;
    if (index < 0)
        ChainAppend(group, set);
    else
        ChainInsert(group, set, index);
    return 1;
}

int ConObjDeleteGroup(ConObjGroup* group)
{
    const s32_t index = group ? GroupIndex(group) : -1;
    if (index < 0)
        return 0;
    g_conObj.groups[index] = g_conObj.groups[--g_conObj.groupCount];
    g_conObj.groups[g_conObj.groupCount] = nullptr;
    // The sighted wire may belong to the group.
    ConObjClearSightedWire();
    delete group;
    return 1;
}

int ConObjGroupRefreshObject(ConObjGroup* group, DynamicObject* object)
{
    if (!InTable(group) || !object)
        return 0;
    for (ConObjPointSet* set = group->first; set; set = set->next) {
        if (static_cast<DynamicObject*>(set->owner) == object)
            WireRefreshPointSet(set);
    }
    return 1;
}

int ConObjGroupRemoveAt(ConObjGroup* group, s32_t index)
{
    if (!InTable(group))
        return 0;
    ConObjPointSet* set = ChainAt(group, index);
    if (!set)
        return 0;
    ChainUnlink(group, set);
    ConObjClearSightedWire();
    delete set;
    return 1;
}
