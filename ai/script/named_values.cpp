#include "ai/script/named_values.h"

#include <cstdlib>
#include <cstring>

char* ScriptCopyText(const char* text)
{
    if (!text)
        return nullptr;
    const size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(copy, text, length + 1);
    return copy;
}

void ScriptFreeText(char* text)
{
    std::free(text);
}

ScriptValueInfo::ScriptValueInfo(const char* valueName, s32_t valueType, bool isShared)
    : name(ScriptCopyText(valueName)), type(valueType), shared(isShared ? 1 : 0)
{}

ScriptValueInfo::~ScriptValueInfo()
{
    ScriptFreeText(name);
}

ScriptValue::ScriptValue(ScriptValueInfo* valueInfo, void* valueData, bool ownsValueData)
    : ownsData(ownsValueData ? 1 : 0), info(valueInfo), data(valueData)
{}

ScriptValue::~ScriptValue()
{
    Clear();
    if (info && !info->shared)
        delete info;
}

bool ScriptValue::Equals(s32_t type, const void* otherData) const
{
    if (!info || info->type != type || !data || !otherData)
        return false;
    switch (type) {
        case TYP_BOOL:
            return *static_cast<const u8_t*>(data) == *static_cast<const u8_t*>(otherData);
        case TYP_INT:
            return *static_cast<const s32_t*>(data) == *static_cast<const s32_t*>(otherData);
        case TYP_FLOAT:
            return *static_cast<const float*>(data) == *static_cast<const float*>(otherData);
        case TYP_STRING:
            return std::strcmp(static_cast<const char*>(data), static_cast<const char*>(otherData)) == 0;
        default:
            return false;
    }
}

void ScriptValue::Clear()
{
    if (ownsData && info && info->type != TYP_CLASS && info->type != TYP_CLASS_PTR && info->type != TYP_PTR)
        std::free(data);
    if (ownsData)
        data = nullptr;
    ownsData = 0;
}

NamedValueTable::NamedValueTable(s32_t tableCapacity)
    : capacity(tableCapacity > 0 ? tableCapacity : 0), values(new ScriptValue*[capacity > 0 ? capacity : 1]())
{}

NamedValueTable::~NamedValueTable()
{
    for (s32_t i = 0; i < count; ++i)
        delete values[i];
    delete[] values;
}

s32_t NamedValueTable::IndexOf(const char* name) const
{
    if (!name)
        return -1;
    for (s32_t i = 0; i < count; ++i) {
        const char* own = values[i]->Name();
        if (own && std::strcmp(own, name) == 0)
            return i;
    }
    return -1;
}

ScriptValue* NamedValueTable::Find(const char* name) const
{
    const s32_t index = IndexOf(name);
    return index >= 0 ? values[index] : nullptr;
}

ScriptValue* NamedValueTable::FindConstant(s32_t type, const void* data) const
{
    for (s32_t i = 0; i < count; ++i) {
        if (!values[i]->Name() && values[i]->Equals(type, data))
            return values[i];
    }
    return nullptr;
}

bool NamedValueTable::Append(ScriptValue* value)
{
    if (count >= capacity)
        return false;
    values[count++] = value;
    return true;
}

ScriptValue* NamedValueTable::AddTyped(const char* name, s32_t type, void* data)
{
    if (!name) {
        if (ScriptValue* pooled = FindConstant(type, data))
            return pooled;
    } else if (IndexOf(name) >= 0) {
        return nullptr;
    }
    if (count >= capacity)
        return nullptr;
    ScriptValue* value = new ScriptValue(new ScriptValueInfo(name, type, false), data, false);
    Append(value);
    return value;
}

ScriptValue* NamedValueTable::AddOwnedCell(const char* name, s32_t type, void* cell)
{
    ScriptValue* value = AddTyped(name, type, cell);
    if (!value || value->data != cell) {
        std::free(cell);
        return value;
    }
    value->ownsData = 1;
    return value;
}

ScriptValue* NamedValueTable::AddInt(const char* name, s32_t number)
{
    void* cell = std::malloc(sizeof(s32_t));
    std::memcpy(cell, &number, sizeof number);
    return AddOwnedCell(name, TYP_INT, cell);
}

ScriptValue* NamedValueTable::AddFloat(const char* name, float number)
{
    void* cell = std::malloc(sizeof(float));
    std::memcpy(cell, &number, sizeof number);
    return AddOwnedCell(name, TYP_FLOAT, cell);
}

ScriptValue* NamedValueTable::AddString(const char* name, char* ownedText)
{
    if (!ownedText)
        return nullptr;
    return AddOwnedCell(name, TYP_STRING, ownedText);
}

s32_t NamedValueTable::AddRef(ScriptValueInfo* info, void* data, bool owns)
{
    if (count >= capacity)
        return -1;
    Append(new ScriptValue(info, data, owns));
    return count - 1;
}

ScriptMemberList::~ScriptMemberList()
{
    for (s32_t i = 0; i < count; ++i)
        delete records[i];
}

ScriptValueInfo* ScriptMemberList::Add(const char* name, s32_t type, bool shared)
{
    if (count >= kCapacity)
        return nullptr;
    records[count] = new ScriptValueInfo(name, type, shared);
    return records[count++];
}

ScriptValueInfo* ScriptMemberList::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < count; ++i) {
        if (records[i]->name && std::strcmp(records[i]->name, name) == 0)
            return records[i];
    }
    return nullptr;
}
