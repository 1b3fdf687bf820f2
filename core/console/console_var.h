// Console variables: named, typed settings and commands in one global list. The layout is shared
// with plug-ins, which walk the list from the host value "cvar": keep it a plain record.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

enum ConsoleVarType : s32_t {
    CVAR_INT = 0,
    CVAR_BOOL = 1,
    CVAR_FLOAT = 2,
    CVAR_STRING = 3,
    CVAR_VECTOR = 4,
    CVAR_COLOUR = 5,
    CVAR_COMMAND = 6,
};

class GuiControl;

// A command's handler: takes the argument text (null when the program calls it itself); the result is ignored.
using ConsoleCommandHandler = s32_t (*)(const char* arguments);
// The handler a front-end control runs when it hands itself over (a list passing the list whose row was
// chosen); sender is never null. A command without one gets only the text handler from controls.
using ConsoleControlHandler = s32_t (*)(const char* arguments, GuiControl* sender);

struct ConsoleVar {
    ConsoleVar* next;  // towards older registrations
    ConsoleVar* prev;  // towards the list head
    s32_t type;
    EngineString name;
    union Value {
        s32_t asInt;
        u8_t asBool;
        float asFloat;
        float asVector[3];
        float asColour[4];
        ConsoleCommandHandler handler;
        u8_t raw[16];
    } value;
    EngineString stringValue;
    // Last, so that the fields plug-ins read keep their places.
    ConsoleControlHandler controlHandler = nullptr;

    // Registers the variable at the head of the list with a default given as text (read by SetFromText).
    ConsoleVar(const char* name, ConsoleVarType type, const char* defaultText);
    // Registers a command.
    ConsoleVar(const char* name, ConsoleCommandHandler handler);
    // Registers a command that also takes a control from the front end.
    ConsoleVar(const char* name, ConsoleCommandHandler handler, ConsoleControlHandler controlHandler);
    ~ConsoleVar();
    ConsoleVar(const ConsoleVar&) = delete;
    ConsoleVar& operator=(const ConsoleVar&) = delete;

    // Sets the value from text by the type; a command runs its handler. Returns 0.
    s32_t SetFromText(const char* text);
    // A command called by a control: the control handler with the text and the sender when there are
    // both, else the text handler with the text. 0 for a variable or a command without handler.
    s32_t CallFromControl(const char* text, GuiControl* sender) const;
    // The value as text in one shared 128-byte buffer, valid until the next call.
    const char* ValueToText() const;

    s32_t Int() const { return value.asInt; }
    bool Bool() const { return value.asBool != 0; }
    float Float() const { return value.asFloat; }
    const char* String() const { return stringValue.Text(); }
    Vector3 Vector() const { return {value.asVector[0], value.asVector[1], value.asVector[2]}; }
    const float* Colour() const { return value.asColour; }

    void SetInt(s32_t v) { value.asInt = v; }
    void SetBool(bool v) { value.asBool = v ? 1 : 0; }
    void SetFloat(float v) { value.asFloat = v; }
    void SetString(const char* text) { stringValue.Assign(text); }
};

// Runtime command creation: a heap command linked at the head of the list; never freed.
ConsoleVar* AddCVarFn(const char* name, ConsoleCommandHandler handler);

// The first variable whose name equals the text exactly, walking from the head; null when none.
ConsoleVar* CVarListFind(const char* name);
// Host function of the same effect.
ConsoleVar* FindCVar(const char* name);
// The list head (the variable registered last); plug-ins receive this address as "cvar".
ConsoleVar** CVarListHeadAddress();
ConsoleVar* CVarListHead();
ConsoleVar* CVarListTail();
