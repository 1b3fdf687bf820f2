// Script objects and the class registry through which scripts reach their methods by name.
//
// A script-callable class registers, for every object it constructs, its class and each method under
// its script name; the first registration of a name wins, so a class's records are fixed by its first
// object. A method registered through a slot is held as a pointer to the virtual member, so a call
// through the record reaches the override of the object's real class; a "direct" method is held as a
// pointer to the non-virtual member itself. Results come back through g_scriptResult.
#pragma once
#include "ai/script/named_values.h"
#include "ai/script/script_functions.h"
#include "ai/script/script_slots.h"
#include "core/types.h"

class ScriptObject;

// What a method record calls: a member of ScriptObject or of a class derived from it.
using ScriptMethodPtr = void (ScriptObject::*)(ScriptArgWord* args);

// A derived class's own method as a record's pointer (a call applies the base adjustment).
template <class Derived>
ScriptMethodPtr ScriptMethodOf(void (Derived::*method)(ScriptArgWord*))
{
    return static_cast<ScriptMethodPtr>(method);
}

struct ScriptMethod {
    ScriptMethod(ScriptMethodPtr methodPointer, const char* methodName, s32_t code);
    ~ScriptMethod();
    ScriptMethod(const ScriptMethod&) = delete;
    ScriptMethod& operator=(const ScriptMethod&) = delete;

    char* name = nullptr;  // owned copy
    ScriptMethodPtr method = nullptr;
    s32_t returnType = TYP_VOID;
};

class ScriptMethodList {
public:
    static constexpr s32_t kCapacity = 100;
    ScriptMethodList() = default;
    ~ScriptMethodList();
    ScriptMethodList(const ScriptMethodList&) = delete;
    ScriptMethodList& operator=(const ScriptMethodList&) = delete;

    ScriptMethod* Find(const char* name) const;
    // Find-or-add: an existing name keeps its record unchanged; a full list gives null.
    ScriptMethod* Add(ScriptMethodPtr method, const char* name, s32_t code);
    s32_t Count() const { return count; }
    // The record at that place of registration order; null outside the list.
    const ScriptMethod* At(s32_t index) const { return index >= 0 && index < count ? records[index] : nullptr; }

private:
    s32_t count = 0;
    ScriptMethod* records[kCapacity] = {};
};

struct ScriptClass {
    explicit ScriptClass(const char* className);
    ~ScriptClass();
    ScriptClass(const ScriptClass&) = delete;
    ScriptClass& operator=(const ScriptClass&) = delete;

    char* name = nullptr;  // owned copy
    ScriptMethodList methods;
    ScriptMemberList members;
};

// The one global list of script classes (capacity 100), made by the AI start-up.
class ScriptClassRegistry {
public:
    static constexpr s32_t kCapacity = 100;
    static void Create();
    // Deletes every class with its method and member records, then the list itself.
    static void Clear();
    // Exact, case-sensitive lookup; null when absent or when there is no registry.
    static ScriptClass* FindClass(const char* name);
    // Find-or-add; null when the registry is full or not made.
    static ScriptClass* RegisterClass(const char* name);
    static s32_t Count();
};

// The holder of one compiled call's arguments: each word points at an argument's value; a bound
// argument's word is refreshed from its object variable at every call.
class ScriptArgs {
public:
    static constexpr s32_t kCapacity = 16;

    // False (and nothing stored) once 16 words are held.
    bool Add(ScriptArgWord word);
    // Binds the next word to the object variable at `variable`; false once 16 words are held.
    bool AddBound(void* const* variable);
    // Copies every bound variable's object into its word; the address of word 0, or null for a call
    // with no arguments.
    ScriptArgWord* Resolve();
    s32_t Count() const { return count; }
    s32_t BoundCount() const { return boundCount; }

private:
    struct Binding {
        ScriptArgWord* word;
        void* const* variable;
    };
    s32_t count = 0;
    s32_t boundCount = 0;
    ScriptArgWord words[kCapacity] = {};
    Binding bindings[kCapacity] = {};
};

class ScriptObject {
public:
    static constexpr s32_t kMemberCapacity = 100;
    ScriptObject();
    virtual ~ScriptObject();
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;

    // The script-method slots 1-126; the base does nothing. Envelopes add slots of their own after them.
#define SCRIPT_SLOT_DECLARE(slot, name, code) virtual void name(ScriptArgWord* args);
    SCRIPT_SLOTS(SCRIPT_SLOT_DECLARE)
#undef SCRIPT_SLOT_DECLARE

    // Registers (find-or-add) a method on the object's class; null when the class has no record or
    // its list is full.
    ScriptMethod* AddMethod(ScriptMethodPtr method, const char* name, s32_t code);
    // Publishes a data member: one record per class and name, shared by every object's value, which
    // refers to the member's storage without owning it. False when a list or the table is full.
    bool AddMember(void* data, const char* name, s32_t type);
    ScriptValue* FindMember(const char* name) const;
    ScriptMethod* FindMethod(const char* name) const;
    // Calls the named method with the argument list in `text` ("(" ... ")"). False without a call for
    // an unknown name or a malformed list. The result cells are left for the caller.
    bool CallMethodByName(const char* name, const char* text);

    ScriptClass* scriptClass = nullptr;
    NamedValueTable members{kMemberCapacity};
};

// Calls a method record on an object.
inline void ScriptCallMethod(ScriptObject* object, const ScriptMethod* method, ScriptArgWord* args)
{
    (object->*(method->method))(args);
}

// The global object table (named objects and "this" first) and the constant pool, 10,000 each.
void ScriptTablesCreate();
void ScriptTablesDestroy();
NamedValueTable* ScriptGlobalObjects();
NamedValueTable* ScriptConstPool();
