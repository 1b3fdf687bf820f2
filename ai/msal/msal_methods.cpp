#include "ai/msal/msal_methods.h"

#include <cstring>

#include "ai/soldier/ai_state.h"

namespace {

struct SlotEntry {
    const char* name;
    ScriptMethodPtr method;
};

#define SCRIPT_SLOT_ENTRY(slot, slotName, code) {#slotName, &ScriptObject::slotName},
const SlotEntry kSlots[] = {SCRIPT_SLOTS(SCRIPT_SLOT_ENTRY)};
#undef SCRIPT_SLOT_ENTRY

// In list order, with their return codes.
const struct {
    const char* name;
    s32_t code;
} kMethods[] = {
    {"IsPlayer", TYP_BOOL},
    {"Take", TYP_VOID},
    {"HasItem", TYP_BOOL},
    {"SetVisible", TYP_VOID},
    {"IsVisible", TYP_BOOL},
    {"Show", TYP_VOID},
    {"Hide", TYP_VOID},
    {"IsDestroyed", TYP_BOOL},
    {"LockTarget", TYP_VOID},
    {"MoveTo", TYP_VOID},
    {"Hold", TYP_VOID},
    {"SetStandMode", TYP_VOID},
    {"SetCrouchMode", TYP_VOID},
    {"SetProneMode", TYP_VOID},
    {"ReportHealth", TYP_VOID},
    {"FollowPlayer", TYP_VOID},
    {"ReportPosition", TYP_VOID},
    {"ReportSight", TYP_VOID},
    {"ReportStatus", TYP_VOID},
    {"Enable", TYP_VOID},
    {"Disable", TYP_VOID},
    {"ExecParticleSet", TYP_VOID},
    {"ExecMenuItem", TYP_VOID},
    {"LockTargetOrMoveTo", TYP_VOID},
    {"TakeFixedWeapon", TYP_VOID},
    {"TakeObject", TYP_VOID},
    {"SetBehavRecon", TYP_VOID},
    {"SetBehavAggres", TYP_VOID},
    {"SetBehavNormal", TYP_VOID},
    {"RotateToPoint", TYP_VOID},
    {"MSALSetPos", TYP_VOID},
    {"MSALMoveTo", TYP_VOID},
    {"MSALMoveToPt", TYP_VOID},
    {"MSALSetState", TYP_VOID},
    {"MSALEliminate", TYP_VOID},
    {"MSALTake", TYP_VOID},
    {"MSALUse", TYP_VOID},
    {"MSALSetPoseMode", TYP_VOID},
    {"MSALSetMovementMode", TYP_VOID},
    {"MSALFireObjectEvent", TYP_VOID},
    {"SetFrame", TYP_VOID},
};

ScriptMethodList* List()
{
    return static_cast<ScriptMethodList*>(g_ai.msalMethods);
}

}  // namespace

ScriptMethodPtr ScriptSlotMethod(const char* name)
{
    if (!name)
        return nullptr;
    for (const SlotEntry& entry : kSlots) {
        if (std::strcmp(entry.name, name) == 0)
            return entry.method;
    }
    return nullptr;
}

void MSALMethodListCreate()
{
    if (List())
        return;
    auto* list = new ScriptMethodList();
    for (const auto& method : kMethods)
        list->Add(ScriptSlotMethod(method.name), method.name, method.code);
    g_ai.msalMethods = list;
}

void MSALMethodListFree()
{
    delete List();
    g_ai.msalMethods = nullptr;
}

ScriptMethod* MSALMethodListFind(const char* name)
{
    return List() ? List()->Find(name) : nullptr;
}
