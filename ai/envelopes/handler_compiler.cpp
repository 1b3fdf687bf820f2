#include "ai/envelopes/handler_compiler.h"

#include <cstring>
#include <string>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/script/named_values.h"
#include "ai/rules/rule_actions.h"
#include "ai/rules/rule_compiler.h"
#include "ai/script/script_call_args.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_lexer.h"
#include "ai/script/source_files.h"

namespace {

constexpr char kHandlerFile[] = "mission.hnd";

// Frees a heap word when the scope ends.
struct Word {
    char* text = nullptr;
    ~Word() { ScriptFreeText(text); }
    Word() = default;
    Word(const Word&) = delete;
    Word& operator=(const Word&) = delete;
};

// What one header of the file gave.
struct Header {
    EventHandler* handler = nullptr;
    bool definition = false;  // a body follows
    bool created = false;     // made by this header, not yet in the list
};

// A header: a declaration ("name;") or the start of a definition ("name [: parent]{"), the cursor
// left on the '{'. False after its error line; a handler the header made is deleted then.
bool ParseHandlerHeader(const char*& cursor, Header& header)
{
    EventHandlerList* list = HandlerList();
    Word name;
    if (!LexReadIdentifier(cursor, &name.text)) {
        RULE_ERROR(cursor, "Expecting event name but found");
        return false;
    }
    AILogPrintf("Handler name : %s", name.text);
    EventHandler* handler = list->Find(name.text);
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == ';') {
        AILogPrintf("Handler %s defined elsewhere\n", name.text);
        LexGetChar(cursor);
        if (!handler) {
            AILogPrintf("New Handler name : %s", name.text);
            handler = new EventHandler(name.text);
            header.created = true;
        }
        header.handler = handler;
        return true;
    }
    if (handler && (handler->IsCompiled() || handler->HasBody())) {
        RULE_ERROR(nullptr, "Handler '%s' already defined at %d\n", name.text, handler->GetDefinitionLine());
        return false;
    }
    bool created = false;
    if (!handler) {
        AILogPrintf("New Handler name : %s", name.text);
        handler = new EventHandler(name.text);
        created = true;
    }
    bool ok = true;
    if (LexPeekChar(cursor) == ':') {
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
        Word parentName;
        EventHandler* parent = nullptr;
        if (!LexReadIdentifier(cursor, &parentName.text)) {
            RULE_ERROR(cursor, "Expecting parent handler name but found");
            ok = false;
        } else if (!(parent = list->Find(parentName.text))) {
            RULE_ERROR(nullptr, "Unknow parent handler '%s'\n", parentName.text);
            ok = false;
        } else if (parent == handler) {
            RULE_ERROR(nullptr, "Self parent not allowed\n");
            ok = false;
        } else {
            handler->SetParent(parent);
        }
    }
    if (ok && LexPeekChar(cursor) != '{') {
        RULE_ERROR(nullptr, "Expecting '{' but found '%c'\n", LexPeekChar(cursor));
        ok = false;
    }
    if (!ok) {
        if (created)
            delete handler;
        return false;
    }
    // The body's own line, so that the compile of the body counts its lines from there (a handler
    // declared earlier keeps the line of its declaration as its definition line).
    handler->bodyStart = cursor;
    handler->bodyLine = ScriptLine();
    header = {handler, true, created};
    return true;
}

// An event's body ("{ statements }") into the slot; false after its error line.
bool CompileEventBlock(const char*& cursor, EventHandler* handler, s32_t index)
{
    RuleCompileContext& context = g_ai.compile;
    auto* event = new ScriptEvent(nullptr);
    context.localTable = &event->values;
    context.currentRule = nullptr;
    context.ruleVariables = nullptr;
    AILogWrite("Event def\n");
    ActionBlock* block = ParseBlock(cursor);
    context.localTable = nullptr;
    if (!block) {
        RULE_ERROR(nullptr, "Event def\n");
        delete event;
        return false;
    }
    AILogWrite("Actions OK\n");
    event->SetAction(block);
    handler->SetEvent(index, event);
    return true;
}

// ": handler[.event];" after an event name: the slot takes that handler's event.
bool CompileEventRemap(const char*& cursor, EventHandler* handler, s32_t index)
{
    LexGetChar(cursor);
    LexSkipBlanks(cursor);
    Word otherName;
    if (!LexReadIdentifier(cursor, &otherName.text)) {
        RULE_ERROR(cursor, "Expecting parent handler name but found");
        return false;
    }
    EventHandlerList* list = HandlerList();
    EventHandler* other = list ? list->Find(otherName.text) : nullptr;
    if (!other) {
        RULE_ERROR(nullptr, "Unknow parent handler '%s'\n", otherName.text);
        return false;
    }
    // An instance compiles its template's text: its template is itself too.
    if (other == handler || other == handler->GetTemplate()) {
        RULE_ERROR(nullptr, "Self parent not allowed\n");
        return false;
    }
    s32_t otherIndex = index;
    if (LexPeekChar(cursor) == '.') {
        LexGetChar(cursor);
        Word eventName;
        if (!LexReadIdentifier(cursor, &eventName.text)) {
            RULE_ERROR(cursor, "Expecting parent event name but found");
            return false;
        }
        otherIndex = HandlerEventIndex(eventName.text);
        if (otherIndex < 0) {
            RULE_ERROR(nullptr, " Parent Handler Event '%s.%s' does not exist\n", otherName.text, eventName.text);
            return false;
        }
        LexSkipBlanks(cursor);
    }
    if (LexPeekChar(cursor) != ';') {
        RULE_ERROR(nullptr, "Expecting ';' but found '%c'\n", LexPeekChar(cursor));
        return false;
    }
    LexGetChar(cursor);
    handler->SetEventRemap(index, other, otherIndex);
    return true;
}

// One member of a handler body, from its word on.
bool CompileHandlerMember(const char*& cursor, EventHandler* handler)
{
    Word word;
    if (!LexReadIdentifier(cursor, &word.text)) {
        RULE_ERROR(cursor, "Expecting identifier but found");
        return false;
    }
    if (std::strcmp(word.text, "timeout") == 0) {
        LexSkipBlanks(cursor);
        if (LexPeekChar(cursor) == '=') {
            LexGetChar(cursor);
            LexSkipBlanks(cursor);
        }
        s32_t value = 0;
        if (!LexReadNumber(cursor, &value)) {
            RULE_ERROR(cursor, "Expecting integer constant but found");
            return false;
        }
        handler->SetTimeout(value);
        return true;
    }
    if (RuleTypeCode(word.text))
        return DeclareMemberVariable(handler->GetMembers(), word.text, cursor);
    AILogPrintf("Event %s\n", word.text);
    const s32_t index = HandlerEventIndex(word.text);
    if (index < 0) {
        RULE_ERROR(nullptr, "Unknow Event name '%s'\n", word.text);
        return false;
    }
    AILogPrintf("%s Found\n", word.text);
    LexSkipBlanks(cursor);
    const char next = LexPeekChar(cursor);
    if (next == '{')
        return CompileEventBlock(cursor, handler, index);
    if (next == ':')
        return CompileEventRemap(cursor, handler, index);
    RULE_ERROR(nullptr, "Expecting ';' or ':' but found '%c'\n", next);
    return false;
}

bool ReportUncompiledSource(const EventHandler* source)
{
    AILogPrintf("ERROR : Parent handler %s declared at line %d not defined!\n", source->Name(),
                source->GetDefinitionLine());
    return false;
}

// A parent or remap target is compiled as a template when it is first needed: at mission start the
// envelopes bind before the templates compile, and an instance's parent or remap would otherwise
// never be ready. Instances and templates whose compile already ran are left as they are.
bool SourceReady(EventHandler* source)
{
    if (!source->IsCompiled() && !source->GetTemplate() && source->HasBody() && !source->compileTried)
        CompileHandler(source, HandlerEventObjectVariable());
    return source->IsCompiled();
}

}  // namespace

bool SkipBalancedBlock(const char*& cursor)
{
    if (LexPeekChar(cursor) != '{')
        return false;
    LexGetChar(cursor);
    // Every step moves at least one character: blanks and the comments after them through the text
    // reader, anything else (a '#' glued to a word too) as an ordinary character.
    return LexSkipBalanced(cursor, '{', '}');
}

bool LoadHandlerFile(const char* name, const char* folder)
{
    HandlerListCreate();
    ScriptSourceFilesCreate();
    SourceFile* file = ScriptSourceFiles()->Open(name, folder, 0, -1, false);
    const char* text = file ? file->GetText() : nullptr;
    if (!text)
        return false;
    SetScriptLine(1);
    const char* cursor = text;
    while (LexSkipBlanks(cursor)) {
        Header header;
        if (!ParseHandlerHeader(cursor, header))
            return false;
        if (header.definition) {
            AILogWrite("Skiping body...\n");
            if (!SkipBalancedBlock(cursor)) {
                if (header.created)
                    delete header.handler;
                return false;
            }
            AILogWrite("Skiped\n");
        }
        // A full list refuses the handler: nothing binds or compiles it.
        if (HandlerList()->Add(header.handler) < 0 && header.created)
            delete header.handler;
    }
    file->MarkFinished();
    return true;
}

bool CompileHandlerBody(const char* cursor, EventHandler* handler)
{
    if (!handler || !cursor)
        return false;
    SetScriptLine(handler->bodyLine > 0 ? handler->bodyLine : handler->GetDefinitionLine());
    if (LexPeekChar(cursor) != '{') {
        RULE_ERROR(nullptr, "Expecting '{' but found '%c'\n", LexPeekChar(cursor));
        return false;
    }
    LexGetChar(cursor);
    LexSkipBlanks(cursor);
    RuleCompileContext& context = g_ai.compile;
    const u8_t ruleKeywords = context.ruleKeywords;
    NamedValueTable* memberTable = context.memberTable;
    SetCompileRuleKeywords(false);
    SetCompileMemberTable(handler->GetMembers());
    // Call arguments name what statements name: "sender", "data", the members, then the globals.
    const ScriptNameLookup lookup = g_ai.scriptNameLookup;
    SetScriptNameLookup(RuleLookUpName);
    bool ok = true;
    for (;;) {
        if (LexAtEnd(cursor)) {
            RULE_ERROR(nullptr, "Unexpected end of file\n");
            ok = false;
            break;
        }
        if (LexPeekChar(cursor) == '}') {
            LexGetChar(cursor);
            handler->compiled = 1;
            break;
        }
        if (!CompileHandlerMember(cursor, handler)) {
            ok = false;
            break;
        }
        LexSkipBlanks(cursor);
    }
    // The rule script compiled after this one finds the switch and the member table as they were.
    context.ruleKeywords = ruleKeywords;
    SetCompileMemberTable(memberTable);
    SetScriptNameLookup(lookup);
    return ok;
}

bool ResolveHandlerInheritance(EventHandler* handler)
{
    if (!handler)
        return false;
    if (!handler->IsCompiled()) {
        AILogPrintf("Handler '%s' declared at line %d not defined !\n", handler->Name(), handler->GetDefinitionLine());
        return false;
    }
    // An instance inherits through its template's parent.
    EventHandler* parent = handler->parent;
    if (!parent && handler->GetTemplate())
        parent = handler->GetTemplate()->parent;
    if (parent) {
        if (!SourceReady(parent))
            return ReportUncompiledSource(parent);
        if (!handler->timeoutSet)
            handler->SetTimeout(parent->GetTimeout());
        for (s32_t i = 0; i < HANDLER_EVENT_SLOTS; ++i) {
            if (!handler->events[i])
                handler->events[i] = parent->events[i];
        }
    }
    for (s32_t i = 0; i < HANDLER_EVENT_SLOTS; ++i) {
        const EventHandler::Remap& remap = handler->remaps[i];
        if (!remap.handler || remap.index == -1)
            continue;
        if (!SourceReady(remap.handler))
            return ReportUncompiledSource(remap.handler);
        handler->events[i] = remap.handler->GetEvent(remap.index);
    }
    return true;
}

bool CompileHandler(EventHandler* handler, ScriptObject** variable)
{
    if (!handler)
        return false;
    AILogPrintf("Compiling handler %s\n", handler->Name());
    handler->compileTried = 1;
    if (!handler->HasBody()) {
        AILogPrintf("ERROR : %s Has no bodystart\n", handler->Name());
        return false;
    }
    SetCompileThisObjectRef(variable);
    bool ok = CompileHandlerBody(handler->bodyStart, handler);
    if (!ok) {
        AILogPrintf("ERROR : %s parsing body\n", handler->Name());
    } else if (!ResolveHandlerInheritance(handler)) {
        AILogPrintf("ERROR : %s postprocessing\n", handler->Name());
        ok = false;
    }
    // "this" is cleared on failure too: the next compile must not call into this handler's object.
    ClearCompileThis();
    if (!ok)
        return false;
    handler->AddRef();
    AILogPrintf("%s OK\n", handler->Name());
    return true;
}

EventHandler* HandlerBindInstance(const char* name, ScriptObject* owner)
{
    EventHandler* from = name && *name ? EventHandlerFind(name) : nullptr;
    if (!from || !from->HasBody())
        return nullptr;
    EventHandler* instance = EventHandler::CreateInstance(from);
    SetCompileThisObject(owner);
    const bool ok = CompileHandlerBody(instance->bodyStart, instance) && ResolveHandlerInheritance(instance);
    ClearCompileThis();
    if (!ok) {
        delete instance;
        return nullptr;
    }
    instance->AddRef();
    return instance;
}

bool HandlerCompileMission(const char* folder)
{
    // A list left from an earlier compile goes first: its templates would otherwise be lost.
    ScriptDestroyRegistries();
    ScriptSourceFilesCreate();
    HandlerListCreate();
    const std::string path = std::string(folder ? folder : "") + "\\";
    if (!LoadHandlerFile(kHandlerFile, path.c_str())) {
        AILogWrite("ERROR compiling mission.hnd\n");
        return false;
    }
    AILogWrite("Compiling succesful !!!\n");
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope)
            envelope->BindHandler();
    }
    EventHandlerList* list = HandlerList();
    for (s32_t i = 0; i < list->Count(); ++i) {
        EventHandler* handler = list->At(i);
        if (!handler->IsReferenced() && !handler->compileTried)
            CompileHandler(handler, HandlerEventObjectVariable());
    }
    return true;
}
