// The global script functions that rule scripts and the mission script call by name, and the
// result cells through which functions and script methods hand back their results.
#pragma once
#include "core/types.h"

// Return-type codes of script functions and methods.
constexpr s32_t TYP_VOID = 1;
constexpr s32_t TYP_BOOL = 2;
constexpr s32_t TYP_INT = 3;
constexpr s32_t TYP_FLOAT = 4;

// A call's argument words: word i points at the value of argument i (the int, float or bool, or
// the characters of a string). Words past the call's own arguments are null.
using ScriptArgWord = void*;
// A global script function gets the address of argument word 0, or null when the call has no
// arguments, and leaves any result in the result cell of its return type.
using ScriptFunction = void (*)(ScriptArgWord* args);

struct ScriptFunctionEntry {
    const char* name;  // not copied: a static text
    s32_t returnType;
    ScriptFunction function;
};

constexpr s32_t SCRIPT_FUNCTION_CAPACITY = 100;

class ScriptFunctionTable {
public:
    // Appends an entry (names are not checked for duplicates); its index, or -1 when the table is full.
    static s32_t Add(const char* name, ScriptFunction function, s32_t returnType);
    // The first entry with exactly that name; null when none (or for a null name).
    static const ScriptFunctionEntry* Find(const char* name);
    static s32_t Count();
    // Empties the table (the AI start-up fills it anew for each mission).
    static void Clear();
};

// Result cells: written by the called function, read by the caller right after the call; never reset.
struct ScriptResultCells {
    u8_t asBool = 0;
    s32_t asInt = 0;
    float asFloat = 0.0f;
};

extern ScriptResultCells g_scriptResult;
