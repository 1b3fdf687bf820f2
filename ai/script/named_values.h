// Typed values searched by name in fixed-capacity tables: script variables, pooled constants,
// published object members and event fields. A value either owns its storage (variables and
// constants made here) or refers to storage owned elsewhere (members, event fields).
#pragma once
#include "ai/script/script_functions.h"
#include "core/types.h"

// Value type codes (2-4 are also the return-type codes of script functions).
constexpr s32_t TYP_STRING = 5;     // zero-terminated text
constexpr s32_t TYP_CLASS = 6;      // a script object pointer
constexpr s32_t TYP_CLASS_PTR = 7;  // the address of a variable that holds a script object pointer
constexpr s32_t TYP_PTR = 8;        // an untyped pointer, never owned

// Texts and storage cells of values come from and go back to these two.
char* ScriptCopyText(const char* text);
void ScriptFreeText(char* text);

struct ScriptValueInfo {
    ScriptValueInfo(const char* valueName, s32_t valueType, bool isShared);
    ~ScriptValueInfo();
    ScriptValueInfo(const ScriptValueInfo&) = delete;
    ScriptValueInfo& operator=(const ScriptValueInfo&) = delete;

    char* name = nullptr;  // owned copy; null for an unnamed constant
    s32_t type = 0;
    u8_t shared = 0;  // belongs to a class's member list: not deleted with a value
};

// One value: its storage is a one-byte (bool) or four-byte (int, float) cell, the text of a string,
// the object of a TYP_CLASS, the variable's address of a TYP_CLASS_PTR or the pointer of a TYP_PTR.
struct ScriptValue {
    ScriptValue(ScriptValueInfo* valueInfo, void* valueData, bool ownsValueData);
    ~ScriptValue();
    ScriptValue(const ScriptValue&) = delete;
    ScriptValue& operator=(const ScriptValue&) = delete;

    // Same type and same contents (texts compared as text); always false for types 6-8.
    bool Equals(s32_t type, const void* otherData) const;
    // Frees owned storage (never that of types 6-8) and forgets it.
    void Clear();
    s32_t Type() const { return info ? info->type : 0; }
    const char* Name() const { return info ? info->name : nullptr; }

    u8_t ownsData = 0;
    ScriptValueInfo* info = nullptr;
    void* data = nullptr;
};

class NamedValueTable {
public:
    explicit NamedValueTable(s32_t tableCapacity);
    ~NamedValueTable();
    NamedValueTable(const NamedValueTable&) = delete;
    NamedValueTable& operator=(const NamedValueTable&) = delete;

    // Index of the first value with exactly that name; -1 for a null name or none.
    s32_t IndexOf(const char* name) const;
    ScriptValue* Find(const char* name) const;
    ScriptValue* FindByName(const char* name) const { return Find(name); }
    // The first unnamed value equal to (type, data), or null.
    ScriptValue* FindConstant(s32_t type, const void* data) const;
    // Without a name, an equal unnamed constant already there is returned instead of adding one. A
    // name already there, or a full table, gives null. The new value does not own `data`.
    ScriptValue* AddTyped(const char* name, s32_t type, void* data);
    // These own their storage; the cell (or the given heap text) is freed when an equal constant is
    // reused or nothing is added.
    ScriptValue* AddInt(const char* name, s32_t value);
    ScriptValue* AddFloat(const char* name, float value);
    ScriptValue* AddString(const char* name, char* ownedText);
    ScriptValue* AddPointer(const char* name, void* pointer) { return AddTyped(name, TYP_PTR, pointer); }
    ScriptValue* AddObject(const char* name, void* object) { return AddTyped(name, TYP_CLASS, object); }
    ScriptValue* AddObjectRef(const char* name, void* variable) { return AddTyped(name, TYP_CLASS_PTR, variable); }
    // Appends a value over an existing record without any lookup; its index, or -1 when full.
    s32_t AddRef(ScriptValueInfo* info, void* data, bool owns);

    s32_t Count() const { return count; }
    s32_t Capacity() const { return capacity; }
    ScriptValue* At(s32_t index) const { return index >= 0 && index < count ? values[index] : nullptr; }

private:
    ScriptValue* AddOwnedCell(const char* name, s32_t type, void* cell);
    bool Append(ScriptValue* value);

    s32_t count = 0;
    s32_t capacity = 0;
    ScriptValue** values = nullptr;
};

// A class's published member records, shared by the values of all its objects.
class ScriptMemberList {
public:
    static constexpr s32_t kCapacity = 100;
    ScriptMemberList() = default;
    ~ScriptMemberList();
    ScriptMemberList(const ScriptMemberList&) = delete;
    ScriptMemberList& operator=(const ScriptMemberList&) = delete;

    // Appends a new record; null when the list is full.
    ScriptValueInfo* Add(const char* name, s32_t type, bool shared);
    ScriptValueInfo* Find(const char* name) const;
    s32_t Count() const { return count; }

private:
    s32_t count = 0;
    ScriptValueInfo* records[kCapacity] = {};
};
