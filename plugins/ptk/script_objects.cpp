#include "plugins/ptk/script_objects.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "plugins/ptk/controllers.h"

namespace ptk {

namespace {
OwnedPtrList<ScriptType>* g_types = nullptr;

ScriptType* MakeType(const char* name, ValueKind value, std::initializer_list<const char*> kinds)
{
    ScriptType* type = new ScriptType{name, value, {}, 0};
    for (const char* kind : kinds) {
        if (type->kindCount < kTypeKindCapacity)
            type->kinds[type->kindCount++] = kind;
    }
    return type;
}

void AppendType(ScriptType* type)
{
    if (g_types->Append(type) < 0)
        delete type;
}

void* NewStorage(ValueKind value)
{
    switch (value) {
        case ValueKind::Vec3:
        case ValueKind::Color:
            return new float[3]{0.0f, 0.0f, 0.0f};
        case ValueKind::Float:
            return new float[1]{0.0f};
        case ValueKind::Int:
            return new std::int32_t[1]{0};
        case ValueKind::Emitter:
            break;
    }
    return nullptr;
}

void FreeStorage(ValueKind value, void* storage)
{
    switch (value) {
        case ValueKind::Vec3:
        case ValueKind::Color:
        case ValueKind::Float:
            delete[] static_cast<float*>(storage);
            break;
        case ValueKind::Int:
            delete[] static_cast<std::int32_t*>(storage);
            break;
        case ValueKind::Emitter:
            delete static_cast<ScriptObject*>(storage);
            break;
    }
}

bool ReadValue(ScriptCursor& cursor, const ScriptVar& var)
{
    switch (var.type->value) {
        case ValueKind::Int:
            return ReadInteger(cursor, *static_cast<std::int32_t*>(var.value));
        case ValueKind::Float:
            return ReadFloat(cursor, *static_cast<float*>(var.value));
        case ValueKind::Vec3:
        case ValueKind::Color:
            return ReadVector(cursor, static_cast<float*>(var.value));
        case ValueKind::Emitter:
            break;
    }
    return false;
}

void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Appendf(std::string& out, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written > 0)
        out.append(buffer, static_cast<std::size_t>(written) < sizeof buffer ? written : sizeof buffer - 1);
}
}  // namespace

bool ScriptType::AllowsKind(const std::string& kind) const
{
    for (std::int32_t i = 0; i < kindCount; ++i) {
        if (kinds[i] == kind)
            return true;
    }
    return false;
}

void TypesCreate()
{
    TypesDelete();
    g_types = new OwnedPtrList<ScriptType>(100);
    AppendType(MakeType("vec3", ValueKind::Vec3, {"Curve3D", "Linear3D"}));
    AppendType(MakeType("color", ValueKind::Color, {"Color"}));
    AppendType(MakeType("float", ValueKind::Float, {"Sin", "Curve1D", "Exp", "Linear1D"}));
    AppendType(MakeType("int", ValueKind::Int, {"Step"}));
    AppendType(MakeType("emiter_def", ValueKind::Emitter, {}));
}

void TypesDelete()
{
    delete g_types;
    g_types = nullptr;
}

const ScriptType* FindType(const std::string& name)
{
    if (!g_types)
        return nullptr;
    for (std::int32_t i = 0; i < g_types->Count(); ++i) {
        if (g_types->At(i)->name == name)
            return g_types->At(i);
    }
    return nullptr;
}

// ---- Variables ----------------------------------------------------------------------------------

ScriptVar::ScriptVar(const std::string& varName, const ScriptType* varType, void* storage, bool ownsStorage)
    : name(varName), type(varType), value(storage), owns(ownsStorage)
{}

ScriptVar::~ScriptVar()
{
    delete children;
    if (owns && value && type)
        FreeStorage(type->value, value);
}

std::int32_t ScriptVar::AppendChild(ScriptObject* child)
{
    if (!children)
        children = new OwnedPtrList<ScriptObject>(kVarChildCapacity);
    return children->Append(child);
}

void* ScriptVar::Release()
{
    owns = false;
    return value;
}

// ---- Objects ------------------------------------------------------------------------------------

ScriptObject::ScriptObject(const std::string& objectName, const ScriptType* objectType)
    : name(objectName), type(objectType)
{}

ScriptObject::~ScriptObject()
{
    funcs.Clear();
    vars.Clear();
}

void ScriptObject::DropControllers()
{
    funcs.Clear();
}

std::int32_t ScriptObject::FindVar(const std::string& varName) const
{
    for (std::int32_t i = 0; i < vars.Count(); ++i) {
        if (vars.At(i)->name == varName)
            return i;
    }
    return -1;
}

std::int32_t ScriptObject::Declare(const char* typeName, const char* varName, void* storage)
{
    const ScriptType* varType = FindType(typeName ? typeName : "");
    if (!varType)
        return -1;
    return AppendVar(new ScriptVar(varName ? varName : "", varType, storage, false));
}

std::int32_t ScriptObject::AppendVar(ScriptVar* var)
{
    const std::int32_t index = vars.Append(var);
    if (index < 0)
        delete var;
    return index;
}

std::int32_t ScriptObject::AppendController(Controller* controller)
{
    return funcs.Append(controller);
}

void ScriptObject::RemoveController(Controller* controller)
{
    const std::int32_t index = funcs.Find(controller);
    if (index >= 0) {
        if (controller->var && controller->var->controller == controller)
            controller->var->controller = nullptr;
        funcs.RemoveAt(index);
    }
}

bool ScriptObject::ReadVarBlock(ScriptCursor& cursor)
{
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string varName;
        if (!ReadIdentifier(cursor, varName))
            return false;
        ScriptVar* var = Var(varName);
        if (!var || !TakeChar(cursor, '=') || !ReadValue(cursor, *var))
            return false;
    }
    return true;
}

bool ScriptObject::ReadFuncBlock(ScriptCursor& cursor)
{
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string varName;
        std::string kind;
        if (!ReadIdentifier(cursor, varName))
            return false;
        ScriptVar* var = Var(varName);
        if (!var || !TakeChar(cursor, '=') || !ReadIdentifier(cursor, kind))
            return false;
        Controller* controller = CreateController(kind, var);
        if (!controller)
            return false;
        if (!controller->Read(cursor) || AppendController(controller) < 0) {
            delete controller;
            return false;
        }
        var->controller = controller;
    }
    return true;
}

bool ScriptObject::ReadObjectBody(ScriptCursor& cursor)
{
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string word;
        if (!ReadIdentifier(cursor, word))
            return false;
        if (word == "Var") {
            if (!ReadVarBlock(cursor))
                return false;
        } else if (word == "Func") {
            if (!ReadFuncBlock(cursor))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

void ScriptObject::WriteVarBlock(std::string& out) const
{
    out += "\tVar\n\t{\n";
    for (std::int32_t i = 0; i < vars.Count(); ++i) {
        const ScriptVar& var = *vars.At(i);
        if (!var.type || !var.value)
            continue;
        switch (var.type->value) {
            case ValueKind::Int:
                Appendf(out, "\t\t%s = %d\n", var.name.c_str(), *static_cast<const std::int32_t*>(var.value));
                break;
            case ValueKind::Float:
                Appendf(out, "\t\t%s = %f\n", var.name.c_str(), *static_cast<const float*>(var.value));
                break;
            case ValueKind::Vec3:
            case ValueKind::Color: {
                const float* v = static_cast<const float*>(var.value);
                Appendf(out, "\t\t%s = (%f,%f,%f)\n", var.name.c_str(), v[0], v[1], v[2]);
                break;
            }
            case ValueKind::Emitter:
                break;
        }
    }
    out += "\t}\n";
}

void ScriptObject::WriteFuncBlock(std::string& out) const
{
    out += "\tFunc\n\t{\n";
    for (std::int32_t i = 0; i < funcs.Count(); ++i)
        funcs.At(i)->Write(out);
    out += "\t}\n";
}

void ScriptObject::Evaluate(float t)
{
    for (std::int32_t i = 0; i < funcs.Count(); ++i)
        funcs.At(i)->Evaluate(t);
}

// ---- Layer --------------------------------------------------------------------------------------

bool Layer::Read(ScriptCursor& cursor)
{
    std::string layerName;
    if (!TakeWord(cursor, "Layer") || !ReadIdentifier(cursor, layerName))
        return false;
    name = layerName;
    if (!TakeChar(cursor, '{'))
        return false;
    while (!TakeChar(cursor, '}')) {
        std::string typeName;
        if (!ReadIdentifier(cursor, typeName))
            return false;
        if (typeName == "Func") {
            if (!ReadFuncBlock(cursor))
                return false;
            continue;
        }
        const ScriptType* varType = FindType(typeName);
        std::string varName;
        if (!varType || !ReadIdentifier(cursor, varName))
            return false;
        ScriptVar* var = nullptr;
        if (varType->value == ValueKind::Emitter) {
            ScriptObject* object = CreateEmitterDefObject(varName);
            var = new ScriptVar(varName, varType, object, true);
            if (!ReadEmitterDefObject(object, cursor)) {
                delete var;
                return false;
            }
        } else {
            var = new ScriptVar(varName, varType, NewStorage(varType->value), true);
            if (!ReadValue(cursor, *var)) {
                delete var;
                return false;
            }
        }
        if (AppendVar(var) < 0)
            return false;
    }
    return true;
}

ScriptObject* Layer::DetachFirstObject()
{
    for (std::int32_t i = 0; i < vars.Count(); ++i) {
        ScriptVar* var = vars.At(i);
        if (var->type && var->type->value == ValueKind::Emitter && var->value)
            return static_cast<ScriptObject*>(var->Release());
    }
    return nullptr;
}

}  // namespace ptk
