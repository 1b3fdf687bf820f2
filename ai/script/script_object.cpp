#include "ai/script/script_object.h"

#include <cstring>

#include "ai/soldier/ai_state.h"
#include "ai/script/script_call_args.h"

namespace {

constexpr s32_t kScriptTableCapacity = 10000;

// The registry's classes; a null list means no registry.
struct ScriptClassList {
    s32_t count = 0;
    ScriptClass* classes[ScriptClassRegistry::kCapacity] = {};
};

ScriptClassList* Classes()
{
    return static_cast<ScriptClassList*>(g_ai.scriptClasses);
}

}  // namespace

ScriptMethod::ScriptMethod(ScriptMethodPtr methodPointer, const char* methodName, s32_t code)
    : name(ScriptCopyText(methodName)), method(methodPointer), returnType(code)
{}

ScriptMethod::~ScriptMethod()
{
    ScriptFreeText(name);
}

ScriptMethodList::~ScriptMethodList()
{
    for (s32_t i = 0; i < count; ++i)
        delete records[i];
}

ScriptMethod* ScriptMethodList::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < count; ++i) {
        if (std::strcmp(records[i]->name, name) == 0)
            return records[i];
    }
    return nullptr;
}

ScriptMethod* ScriptMethodList::Add(ScriptMethodPtr method, const char* name, s32_t code)
{
    if (!name)
        return nullptr;
    if (ScriptMethod* existing = Find(name))
        return existing;
    if (count >= kCapacity)
        return nullptr;
    records[count] = new ScriptMethod(method, name, code);
    return records[count++];
}

ScriptClass::ScriptClass(const char* className) : name(ScriptCopyText(className)) {}

ScriptClass::~ScriptClass()
{
    ScriptFreeText(name);
}

void ScriptClassRegistry::Create()
{
    if (!Classes())
        g_ai.scriptClasses = new ScriptClassList();
}

void ScriptClassRegistry::Clear()
{
    ScriptClassList* list = Classes();
    if (!list)
        return;
    for (s32_t i = 0; i < list->count; ++i)
        delete list->classes[i];
    delete list;
    g_ai.scriptClasses = nullptr;
}

ScriptClass* ScriptClassRegistry::FindClass(const char* name)
{
    const ScriptClassList* list = Classes();
    if (!list || !name)
        return nullptr;
    for (s32_t i = 0; i < list->count; ++i) {
        if (std::strcmp(list->classes[i]->name, name) == 0)
            return list->classes[i];
    }
    return nullptr;
}

ScriptClass* ScriptClassRegistry::RegisterClass(const char* name)
{
    ScriptClassList* list = Classes();
    if (!list || !name)
        return nullptr;
    if (ScriptClass* existing = FindClass(name))
        return existing;
    if (list->count >= kCapacity)
        return nullptr;
    list->classes[list->count] = new ScriptClass(name);
    return list->classes[list->count++];
}

s32_t ScriptClassRegistry::Count()
{
    return Classes() ? Classes()->count : 0;
}

bool ScriptArgs::Add(ScriptArgWord word)
{
    if (count >= kCapacity)
        return false;
    words[count++] = word;
    return true;
}

bool ScriptArgs::AddBound(void* const* variable)
{
    if (count >= kCapacity || boundCount >= kCapacity)
        return false;
    bindings[boundCount++] = {&words[count], variable};
    words[count++] = nullptr;
    return true;
}

ScriptArgWord* ScriptArgs::Resolve()
{
    if (count == 0 && boundCount == 0)
        return nullptr;
    for (s32_t i = 0; i < boundCount; ++i)
        *bindings[i].word = bindings[i].variable ? *bindings[i].variable : nullptr;
    return &words[0];
}

ScriptObject::ScriptObject() = default;
ScriptObject::~ScriptObject() = default;

#define SCRIPT_SLOT_DEFINE(slot, name, code) \
    void ScriptObject::name(ScriptArgWord*) {}
SCRIPT_SLOTS(SCRIPT_SLOT_DEFINE)
#undef SCRIPT_SLOT_DEFINE

ScriptMethod* ScriptObject::AddMethod(ScriptMethodPtr method, const char* name, s32_t code)
{
    return scriptClass ? scriptClass->methods.Add(method, name, code) : nullptr;
}

bool ScriptObject::AddMember(void* data, const char* name, s32_t type)
{
    if (!scriptClass)
        return false;
    // One record per class and name: every object's value refers to it, so a class with more
    // objects than its list holds still finds each object's member by name.
    ScriptValueInfo* info = scriptClass->members.Find(name);
    if (!info)
        info = scriptClass->members.Add(name, type, true);
    if (!info)
        return false;
    return members.AddRef(info, data, false) >= 0;
}

ScriptValue* ScriptObject::FindMember(const char* name) const
{
    return members.Find(name);
}

ScriptMethod* ScriptObject::FindMethod(const char* name) const
{
    return scriptClass ? scriptClass->methods.Find(name) : nullptr;
}

bool ScriptObject::CallMethodByName(const char* name, const char* text)
{
    const ScriptMethod* method = FindMethod(name);
    if (!method || !text)
        return false;
    ScriptArgs args;
    const char* cursor = text;
    if (!ParseCallArgs(&args, cursor))
        return false;
    ScriptCallMethod(this, method, args.Resolve());
    return true;
}

void ScriptTablesCreate()
{
    if (!g_ai.scriptGlobalObjects) {
        g_ai.scriptGlobalObjects = new NamedValueTable(kScriptTableCapacity);
        g_ai.scriptGlobalObjects->AddObject("this", nullptr);
    }
    if (!g_ai.scriptConstPool)
        g_ai.scriptConstPool = new NamedValueTable(kScriptTableCapacity);
}

void ScriptTablesDestroy()
{
    delete g_ai.scriptGlobalObjects;
    g_ai.scriptGlobalObjects = nullptr;
    delete g_ai.scriptConstPool;
    g_ai.scriptConstPool = nullptr;
}

NamedValueTable* ScriptGlobalObjects()
{
    return g_ai.scriptGlobalObjects;
}

NamedValueTable* ScriptConstPool()
{
    return g_ai.scriptConstPool;
}
