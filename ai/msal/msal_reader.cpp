#include "ai/msal/msal_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_runtime.h"
#include "ai/rules/script_events.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/vfs.h"

namespace {
// The class name each envelope kind's methods come from ("" for kinds without a class).
constexpr const char* kKindClassNames[MSAL_ENVELOPE_KINDS] = {
    "DOEnvelope",    "", "AABoxEnvenlope", "ZoneEnvelope", "", "", "VirtualEnvelope", "CodeEnvelope", "PointEnvelope",
    "CameraEnvelope"};
constexpr unsigned char kEndMark = 0xFF;
constexpr size_t kErrorTextLimit = 128;

std::vector<MSALCommandList*> g_lists;
EnvelopeTypeTable* g_typeTable = nullptr;

bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Reads a whole argument text as an integer; out-of-range values are clamped.
s32_t ReadInteger(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<s32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

// A name argument of a method call: a number stays a number. Any text that converts to 0 and is not
// written as a number names an envelope (the default one in program-made lists); a "0" written as a
// number names an envelope only in file lists and only when one has that name.
MSALCell ArgumentCell(const std::string& text, Envelope* defaultEnvelope)
{
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    const bool numeric = !text.empty() && end && *end == '\0';
    if (value != 0.0f && value == value)
        return MSALCell::FromFloat(value);
    if (numeric) {
        if (!defaultEnvelope) {
            if (Envelope* named = EnvelopeFind(text.c_str()))
                return MSALCell::FromEnvelope(named);
        }
        return MSALCell::FromFloat(0.0f);
    }
    if (defaultEnvelope)
        return MSALCell::FromEnvelope(defaultEnvelope);
    return MSALCell::FromEnvelope(EnvelopeFind(text.c_str()));
}

MSALCommand* BuildCommand(const std::string& name, const std::string& arguments, Envelope* defaultEnvelope)
{
    MSALCommand* command = new MSALCommand;
    if (name == "Begin" || name == "End" || name == "Wait") {
        command->kind = name == "Begin" ? MSAL_BEGIN : name == "End" ? MSAL_END : MSAL_WAIT;
        command->value = ReadInteger(arguments.c_str());
    } else if (name == "Call") {
        command->kind = MSAL_CALL;
        command->called = MSALFindList(arguments.c_str());
    } else if (name == "ITFSync") {
        command->kind = MSAL_ITF_SYNC;
        const size_t comma = arguments.find(',');
        command->text = arguments.substr(0, comma);
        command->value = comma == std::string::npos ? 0 : ReadInteger(arguments.c_str() + comma + 1);
    } else if (name == "CriticalBegin" || name == "CriticalEnd") {
        command->kind = name == "CriticalBegin" ? MSAL_CRITICAL_BEGIN : MSAL_CRITICAL_END;
    } else if (name == "WaitForEvent") {
        command->kind = MSAL_WAIT_FOR_EVENT;
        ScriptEventList* events = ScriptGlobalEventList();
        command->event = events ? events->Find(arguments.c_str()) : nullptr;
    } else {
        const s32_t id = g_typeTable ? g_typeTable->MapMethod(("MSAL" + name).c_str()) : -1;
        if (id < 0) {
            delete command;
            return nullptr;
        }
        command->kind = MSAL_METHOD;
        command->value = id;
        size_t start = 0;
        for (;;) {
            const size_t comma = arguments.find(',', start);
            const std::string piece =
                arguments.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            command->arguments.push_back(ArgumentCell(piece, defaultEnvelope).Word());
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    return command;
}

// The reader over a buffer that ends with the end mark.
class Reader {
public:
    explicit Reader(const std::string& buffer) : text(reinterpret_cast<const unsigned char*>(buffer.data())) {}

    void Run()
    {
        for (;;) {
            SkipBlanksAndComments();
            if (AtEnd())
                return;
            if (Peek() == '{' || Peek() == '}' || Peek() == '(' || Peek() == ')') {
                ++pos;  // stray punctuation at the top level belongs to no word
                continue;
            }
            const std::string word = Word();
            if (word == "List")
                ReadList();
            else if (word == "Members")
                ReadMembers(g_lists.empty() ? nullptr : g_lists.back());
            else if (word == "Weather")
                continue;
            else if (word.size() >= 2)
                MSALError("Unknown word '%s'!", word.c_str());
        }
    }

private:
    unsigned char Peek() const { return text[pos]; }
    bool AtEnd() const { return text[pos] == kEndMark; }

    void SkipBlanksAndComments()
    {
        while (!AtEnd()) {
            if (IsBlank(Peek())) {
                ++pos;
            } else if (Peek() == '#') {
                while (!AtEnd() && Peek() != '\n')
                    ++pos;
            } else {
                return;
            }
        }
    }
    // Characters up to a blank, a bracket, a comment or the end mark.
    std::string Word()
    {
        std::string word;
        while (!AtEnd() && !IsBlank(Peek()) && Peek() != '{' && Peek() != '}' && Peek() != '(' && Peek() != ')' &&
               Peek() != '#')
            word.push_back(static_cast<char>(text[pos++]));
        return word;
    }
    bool ExpectOpeningBrace()
    {
        SkipBlanksAndComments();
        if (!AtEnd() && Peek() == '{') {
            ++pos;
            return true;
        }
        MSALError("{ expected!");
        return false;
    }

    // Past blanks and comments: true at the block's end (its "}" taken) or at the file's end (reported).
    bool BlockEnds()
    {
        SkipBlanksAndComments();
        if (AtEnd()) {
            MSALError("Unexpected end of file found!");
            return true;
        }
        if (Peek() == '}') {
            ++pos;
            return true;
        }
        return false;
    }

    void ReadList()
    {
        SkipBlanksAndComments();
        const std::string name = Word();
        if (!ExpectOpeningBrace())
            return;
        MSALCommandList* list = MSALAddList(name.c_str(), false);
        for (;;) {
            if (BlockEnds())
                return;
            const std::string statement = Word();
            if (statement == "Members") {
                ReadMembers(list);
                continue;
            }
            SkipBlanksAndComments();
            if (AtEnd())
                continue;  // reported at the top of the loop
            if (Peek() != '(') {
                if (statement.empty()) {
                    MSALError("Unexpected '%c'!", static_cast<char>(Peek()));
                    ++pos;
                } else {
                    MSALError("( expected after '%s'!", statement.c_str());
                }
                continue;
            }
            ++pos;
            std::string arguments;
            while (!AtEnd() && Peek() != ')') {
                if (!IsBlank(Peek()))
                    arguments.push_back(static_cast<char>(Peek()));
                ++pos;
            }
            if (AtEnd())
                continue;
            ++pos;
            if (MSALCommand* command = BuildCommand(statement, arguments, nullptr))
                list->Append(command);
        }
    }

    void ReadMembers(MSALCommandList* list)
    {
        if (!ExpectOpeningBrace())
            return;
        for (;;) {
            if (BlockEnds())
                return;
            std::string name = Word();
            if (name.empty()) {
                ++pos;  // a bracket inside the block
                continue;
            }
            Envelope* envelope = EnvelopeFind(name.c_str());
            if (!envelope) {
                MSALError("Unknown envelope '%s'!", name.c_str());
                continue;
            }
            if (!list)
                continue;
            const bool present = std::any_of(list->runners.begin(), list->runners.end(),
                                             [envelope](const MSALRunner* r) { return r->envelope == envelope; });
            if (present)
                continue;
            MSALRunner* runner = new MSALRunner(envelope, list);
            list->runners.push_back(runner);
            if (!envelope->runner)
                envelope->runner = runner;
        }
    }

    const unsigned char* text;
    size_t pos = 0;
};

// Every runner of a list that holds an "End" is expected at that sync point.
void CollectExpectedMembers()
{
    for (MSALCommandList* list : g_lists) {
        for (MSALCommand* command = list->first; command; command = command->next) {
            if (command->kind != MSAL_END)
                continue;
            MSALExpectedMembers* expected = MSALExpectedFor(command->value);
            for (MSALRunner* runner : list->runners) {
                if (std::find(expected->runners.begin(), expected->runners.end(), runner) == expected->runners.end())
                    expected->runners.push_back(runner);
            }
        }
    }
}

void CreateTables()
{
    if (!g_typeTable)
        g_typeTable = new EnvelopeTypeTable;
    MSALRuntimeCreate();
}
}  // namespace

MSALCommandList::~MSALCommandList()
{
    for (MSALRunner* runner : runners)
        delete runner;
    while (first) {
        MSALCommand* next = first->next;
        delete first;
        first = next;
    }
}

void MSALCommandList::Append(MSALCommand* command)
{
    command->previous = last;
    command->next = nullptr;
    if (last)
        last->next = command;
    else
        first = command;
    last = command;
}

EnvelopeTypeTable::EnvelopeTypeTable()
{
    for (s32_t kind = 0; kind < MSAL_ENVELOPE_KINDS; ++kind) {
        if (kKindClassNames[kind][0])
            classes[kind] = ScriptClassRegistry::FindClass(kKindClassNames[kind]);
    }
}

s32_t EnvelopeTypeTable::MapMethod(const char* name)
{
    // A class registered after the table was made (its first object came later) joins it now.
    for (s32_t kind = 0; kind < MSAL_ENVELOPE_KINDS; ++kind) {
        if (classes[kind] || !kKindClassNames[kind][0])
            continue;
        classes[kind] = ScriptClassRegistry::FindClass(kKindClassNames[kind]);
        if (classes[kind]) {
            for (size_t id = 0; id < names.size(); ++id)
                methods[kind][id] = classes[kind]->methods.Find(names[id].c_str());
        }
    }
    size_t id = std::find(names.begin(), names.end(), name) - names.begin();
    const bool known = id < names.size();
    if (!known) {
        names.emplace_back(name);
        for (auto& kindMethods : methods)
            kindMethods.push_back(nullptr);
    }
    bool found = false;
    for (s32_t kind = 0; kind < MSAL_ENVELOPE_KINDS; ++kind) {
        if (!classes[kind])
            continue;
        methods[kind][id] = classes[kind]->methods.Find(name);
        found = found || methods[kind][id];
    }
    if (found)
        return static_cast<s32_t>(id);
    if (!known) {
        names.pop_back();
        for (auto& kindMethods : methods)
            kindMethods.pop_back();
    }
    MSALError("Could not map method '%s' in the VTable", name);
    return -1;
}

const ScriptMethod* EnvelopeTypeTable::GetMethod(s32_t kind, s32_t id)
{
    if (kind < 0 || kind >= MSAL_ENVELOPE_KINDS || id < 0 || static_cast<size_t>(id) >= names.size())
        return nullptr;
    if (classes[kind])
        return methods[kind][id];
    // The line names the kind's class; the method named is the first one mapped, as every kind's
    // array holds it first, or the id when no kind has a class to map into.
    for (const ScriptClass* known : classes) {
        if (known) {
            MSALError("Unknown method id '%s' for envelope type '%s'", names[0].c_str(), kKindClassNames[kind]);
            return nullptr;
        }
    }
    MSALError("Unknown method id '%d' for envelope type '%s'", id, kKindClassNames[kind]);
    return nullptr;
}

void MSALError(const char* format, ...)
{
    char text[kErrorTextLimit + 1];
    const int prefix = std::snprintf(text, sizeof text, "MSAL Error: ");
    va_list args;
    va_start(args, format);
    std::vsnprintf(text + prefix, sizeof text - static_cast<size_t>(prefix), format, args);
    va_end(args);
    ConPrint(0, ERROR_COLOUR "%s\n", text);
}

void MSALLoadText(const char* text, u32_t size)
{
    CreateTables();
    std::string buffer(text ? text : "", text ? size : 0);
    buffer.push_back(static_cast<char>(kEndMark));
    Reader(buffer).Run();
    CollectExpectedMembers();
}

void MSALLoadMission(const char* folder)
{
    CreateTables();
    const std::string path = std::string(folder ? folder : "") + "\\mission.msal";
    u32_t size = 0;
    char* data = VFSLoadFile(path.c_str(), &size);
    if (!data) {
        ConPrint(0, "Error loading MSAL '%s'!\n", path.c_str());
        return;
    }
    MSALLoadText(data, size);
    delete[] data;
}

void MSALUnloadMission()
{
    MSALRuntimeFree();
    for (MSALCommandList* list : g_lists)
        delete list;
    g_lists.clear();
    g_lists.shrink_to_fit();
    delete g_typeTable;
    g_typeTable = nullptr;
}

const std::vector<MSALCommandList*>& MSALLists()
{
    return g_lists;
}

MSALCommandList* MSALFindList(const char* name)
{
    for (MSALCommandList* list : g_lists) {
        if (list->name == name)
            return list;
    }
    return nullptr;
}

EnvelopeTypeTable* MSALTypeTable()
{
    return g_typeTable;
}

MSALCommand* MSALParseStatement(const char* text, Envelope* defaultEnvelope)
{
    std::string name;
    std::string arguments;
    const char* c = text ? text : "";
    while (*c && *c != '(') {
        if (!IsBlank(static_cast<unsigned char>(*c)))
            name.push_back(*c);
        ++c;
    }
    if (*c != '(') {
        MSALError("( expected after '%s'!", name.c_str());
        return nullptr;
    }
    for (++c; *c && *c != ')'; ++c) {
        if (!IsBlank(static_cast<unsigned char>(*c)))
            arguments.push_back(*c);
    }
    return BuildCommand(name, arguments, defaultEnvelope);
}

MSALCommandList* MSALAddList(const char* name, bool inactive)
{
    MSALCommandList* list = new MSALCommandList;
    list->name = name ? name : "";
    list->inactive = inactive ? 1 : 0;
    list->index = static_cast<s32_t>(g_lists.size());
    g_lists.push_back(list);
    return list;
}
