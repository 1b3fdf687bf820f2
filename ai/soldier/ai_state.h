// The AI's state record: the table of soldier AI interfaces and the AI clock.
#pragma once
#include <string>
#include <vector>

#include "core/types.h"

class AIInterface;
class DOEnvelope;
class Envelope;
class EventHandler;
class EventHandlerList;
class NamedValueTable;
class Rule;
class RuleList;
class RuleSet;
class ScriptEventList;
class ScriptObject;
class ScriptValue;
class SourceFileList;
class TimeEventList;
struct AIGroup;
struct DefendPoint;
struct EnvelopeMarker;
struct PatrolPath;

// How a call argument's name is looked up (the rule compiler installs its scopes); null when absent.
using ScriptNameLookup = ScriptValue* (*)(const char* name);

constexpr u32_t MAX_AI_INTERFACES = 128;
constexpr u32_t ENVELOPE_TABLE_SLOTS = 2048;
constexpr u32_t ENVELOPE_MARKER_SLOTS = 16;
constexpr u32_t MAX_AI_GROUPS = 64;
constexpr u32_t MAX_AI_PATROL_PATHS = 64;
constexpr u32_t MAX_AI_DEFEND_POINTS = 128;

// What the rule-script compiler compiles against: one set of fields for the whole run.
struct RuleCompileContext {
    Rule* currentRule = nullptr;
    NamedValueTable* memberTable = nullptr;  // plain top-level declarations land here
    RuleList* ruleList = nullptr;
    ScriptEventList* eventList = nullptr;
    void* thisObject = nullptr;  // the object, or the address of a variable holding one
    s32_t thisType = 0;          // 0 none, TYP_CLASS or TYP_CLASS_PTR
    NamedValueTable* thisMembers = nullptr;
    u8_t ruleKeywords = 0;  // "priority", "Enable" and "Disable" name rule operations
    NamedValueTable* localTable = nullptr;
    NamedValueTable* ruleVariables = nullptr;
    const char* includeFolder = nullptr;  // not owned
};

struct AIState {
    // Every soldier's interface, in creation order (AIInterfaceTable); removal moves the last one in.
    AIInterface* interfaces[MAX_AI_INTERFACES] = {};
    u32_t interfaceCount = 0;
    // The AI clock is the frame view's aiTime, where the soldiers' bodies read it too.
    // The mission's envelopes (the envelope table); empty slots are null.
    Envelope* envelopes[ENVELOPE_TABLE_SLOTS] = {};
    // The map markers of "mission.env" with its default record (ai/envelopes/envelope_markers.h); owned.
    EnvelopeMarker* markers[ENVELOPE_MARKER_SLOTS] = {};
    u32_t markerCount = 0;
    // The envelopes of the player's and the Tesk team's actors, kept out of the table; owned, deleted
    // with the table at mission end.
    DOEnvelope* playerEnvelope = nullptr;
    DOEnvelope* teskEnvelope = nullptr;
    // The mission's handler templates of "mission.hnd" (HandlerList), in file order; owned
    // (ai/envelopes/event_handlers.h).
    EventHandlerList* eventHandlers = nullptr;
    // The loaded script source files whose texts the handlers point into (ai/script/source_files.h); owned.
    SourceFileList* sourceFiles = nullptr;
    // The object a handler template's "this" calls reach while its event runs (HandlerEventObject).
    ScriptObject* handlerEventObject = nullptr;

    // The rule-script language's tables (ai/script/script_object.h), made by the AI start-up.
    void* scriptClasses = nullptr;  // the class registry's list
    NamedValueTable* scriptGlobalObjects = nullptr;
    NamedValueTable* scriptConstPool = nullptr;
    ScriptNameLookup scriptNameLookup = nullptr;  // null: ScriptGlobalObjects only
    // The script line the text reader stands on, for error lines; reset per file by the compiler.
    s32_t scriptLine = 0;
    // The AI log "log.txt" (ai/soldier/ai_log.h); null while none is open.
    void* aiLogFile = nullptr;
    RuleCompileContext compile;
    // The rule set being compiled or run (CurrentRuleSet): rule operations act on its levels.
    RuleSet* currentRuleSet = nullptr;
    // The mission's named events ("events.txt"), made at mission start.
    ScriptEventList* eventList = nullptr;
    // The object-method list that calls on object variables resolve through (MSALMethodList).
    void* msalMethods = nullptr;
    // The mission's timed events ("timeline.txt").
    TimeEventList* timeEvents = nullptr;
    // The mission's patrol paths ("mission.ptl") and defend points ("mission.dfp"), in file order;
    // owned (ai/squads/patrol_path.h, ai/squads/defend_points.h).
    PatrolPath* patrolPaths[MAX_AI_PATROL_PATHS] = {};
    u32_t patrolPathCount = 0;
    DefendPoint* defendPoints[MAX_AI_DEFEND_POINTS] = {};
    u32_t defendPointCount = 0;
    // The mission's AI groups ("mission.aig"), in file order; owned (ai/squads/ai_groups.h).
    AIGroup* groups[MAX_AI_GROUPS] = {};
    u32_t groupCount = 0;
    // The names of the soldiers that the start of a solo campaign took out of the mission (its
    // friendly soldiers): the mission's files may still name them, and that is no fault of theirs.
    std::vector<std::string> removedObjects;
};

extern AIState g_ai;
