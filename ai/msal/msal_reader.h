// The mission script "mission.msal": command records and lists, the list table, the envelope-type
// method table, and the reader that builds them.
#pragma once
#include <string>
#include <vector>

#include "ai/msal/msal_cell.h"
#include "ai/script/script_object.h"
#include "core/types.h"

class Envelope;
class MSALRunner;
class ScriptEvent;
struct MSALCommandList;

enum MSALCommandKind : s32_t {
    MSAL_METHOD = 0,
    MSAL_BEGIN = 1,
    MSAL_END = 2,
    MSAL_CALL = 3,
    MSAL_ITF_SYNC = 4,
    MSAL_WAIT = 5,
    MSAL_CRITICAL_BEGIN = 6,
    MSAL_CRITICAL_END = 7,
    MSAL_WAIT_FOR_EVENT = 8,
};

struct MSALCommand {
    s32_t kind = MSAL_METHOD;
    s32_t value = 0;                       // sync id, milliseconds, method id or timer number
    MSALCommandList* called = nullptr;     // "Call"
    ScriptEvent* event = nullptr;          // "WaitForEvent"
    std::vector<ScriptArgWord> arguments;  // a method call's cells, one word each
    std::string text;                      // "ITFSync": the timer's name
    MSALCommand* previous = nullptr;
    MSALCommand* next = nullptr;
};

struct MSALCommandList {
    MSALCommandList() = default;
    ~MSALCommandList();
    MSALCommandList(const MSALCommandList&) = delete;
    MSALCommandList& operator=(const MSALCommandList&) = delete;
    void Append(MSALCommand* command);

    MSALCommand* first = nullptr;  // owned chain
    MSALCommand* last = nullptr;
    std::vector<MSALRunner*> runners;  // owned
    std::string name;
    s32_t index = -1;   // place in the list table
    u8_t inactive = 0;  // 1 for lists made by program code
    u8_t waiting = 0;   // set while the running command waits (on a mission timer, for example)
};

constexpr s32_t MSAL_ENVELOPE_KINDS = 10;

// One method id per method name, valid for every envelope kind; each kind with a class holds that
// name's method there (null when its class lacks it).
class EnvelopeTypeTable {
public:
    EnvelopeTypeTable();
    // The id of the name; -1 (with an error line) when no kind's class has it.
    s32_t MapMethod(const char* name);
    // The kind's method of that id; null (with an error line when the kind has no class) otherwise.
    const ScriptMethod* GetMethod(s32_t kind, s32_t id);

private:
    ScriptClass* classes[MSAL_ENVELOPE_KINDS] = {};
    std::vector<const ScriptMethod*> methods[MSAL_ENVELOPE_KINDS];
    std::vector<std::string> names;
};

// "MSAL Error: " + the text (at most 128 characters in all) + a line feed on console 0 in red.
void MSALError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Makes the tables and reads folder + "\mission.msal"; a missing file prints a load error only.
void MSALLoadMission(const char* folder);
// Makes the tables (when not made) and reads a source text (the loader's buffer, end mark added here).
void MSALLoadText(const char* text, u32_t size);
// Frees every list, runner and table.
void MSALUnloadMission();

// The list table, in file order (program-made lists follow).
const std::vector<MSALCommandList*>& MSALLists();
MSALCommandList* MSALFindList(const char* name);
EnvelopeTypeTable* MSALTypeTable();
// Parses one statement into a command (null when it makes none); `defaultEnvelope` non-null: name
// arguments of a method call become that envelope (program-made lists).
MSALCommand* MSALParseStatement(const char* text, Envelope* defaultEnvelope);
// A new list appended to the table (inactive for program-made lists).
MSALCommandList* MSALAddList(const char* name, bool inactive);
