// The typed object language of emitter definitions: script types and their registry, variables,
// objects that hold variables and controllers ("Var" and "Func" blocks), and the "Layer" block.
#pragma once
#include <cstdint>
#include <string>

#include "plugins/ptk/owned_ptr_list.h"
#include "plugins/ptk/script_reader.h"

namespace ptk {

class Controller;
class ScriptObject;

enum class ValueKind { Vec3, Color, Float, Int, Emitter };

constexpr std::int32_t kTypeKindCapacity = 10;
constexpr std::int32_t kVarChildCapacity = 20;

struct ScriptType {
    std::string name;
    ValueKind value;
    std::string kinds[kTypeKindCapacity];
    std::int32_t kindCount;

    bool AllowsKind(const std::string& kind) const;
};

// The type registry: vec3, color, float, int, emiter_def, made at map load.
void TypesCreate();
void TypesDelete();
const ScriptType* FindType(const std::string& name);

struct ScriptVar {
    ScriptVar(const std::string& varName, const ScriptType* varType, void* storage, bool ownsStorage);
    ~ScriptVar();
    ScriptVar(const ScriptVar&) = delete;
    ScriptVar& operator=(const ScriptVar&) = delete;

    // -1 when the child list (20 places) is full.
    std::int32_t AppendChild(ScriptObject* child);
    // Gives the value up: the variable no longer frees it.
    void* Release();

    std::string name;
    const ScriptType* type;
    void* value;
    bool owns;
    OwnedPtrList<ScriptObject>* children = nullptr;
    Controller* controller = nullptr;  // the newest one made for it
};

class ScriptObject {
public:
    ScriptObject(const std::string& objectName, const ScriptType* objectType);
    virtual ~ScriptObject();
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;

    std::int32_t FindVar(const std::string& varName) const;
    ScriptVar* Var(const std::string& varName) const { return vars.At(FindVar(varName)); }
    // A variable of the registered type bound to the storage; -1 for an unknown type or a full list.
    std::int32_t Declare(const char* typeName, const char* varName, void* storage);
    std::int32_t AppendVar(ScriptVar* var);
    std::int32_t AppendController(Controller* controller);
    // By identity: the last controller takes its place. The controller is deleted.
    void RemoveController(Controller* controller);

    bool ReadVarBlock(ScriptCursor& cursor);
    bool ReadFuncBlock(ScriptCursor& cursor);
    // "{" then any Var and Func blocks until "}".
    bool ReadObjectBody(ScriptCursor& cursor);
    void WriteVarBlock(std::string& out) const;
    void WriteFuncBlock(std::string& out) const;
    // Every controller of the Func list, in list order, stores its value at time t.
    virtual void Evaluate(float t);

    std::string name;
    const ScriptType* type;
    OwnedPtrList<ScriptVar> vars{100};
    OwnedPtrList<Controller> funcs{100};

protected:
    // Deletes the controllers before the fields they write go away (derived destructors call it).
    void DropControllers();
};

// A container whose variables are the objects and values declared in its block.
class Layer : public ScriptObject {
public:
    Layer() : ScriptObject("", nullptr) {}
    // "Layer", a name, "{", then Func blocks and declarations until "}".
    bool Read(ScriptCursor& cursor);
    // The first declared object of type emiter_def, taken out of the layer; null when none.
    ScriptObject* DetachFirstObject();
};

// The emiter_def type's operations (emitter_def.cpp).
ScriptObject* CreateEmitterDefObject(const std::string& name);
bool ReadEmitterDefObject(ScriptObject* object, ScriptCursor& cursor);

}  // namespace ptk
