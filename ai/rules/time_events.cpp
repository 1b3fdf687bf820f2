#include "ai/rules/time_events.h"

#include <cstring>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_lexer.h"
#include "ai/script/named_values.h"
#include "core/files/vfs.h"

namespace {

// Reads an identifier and tells whether it is exactly `expected` (false without one).
bool ReadWord(const char*& cursor, char** word)
{
    return LexReadIdentifier(cursor, word);
}

}  // namespace

s32_t TimeEvent::Tick(u32_t time)
{
    if (!event)
        return 0;
    if (static_cast<s32_t>(time - dueTime) < 0)
        return -1;
    lastFired = time;
    dueTime = time + period;
    s32_t result = 1;
    if (remaining != -1) {
        --remaining;
        result = remaining > 0 ? 1 : 0;
    }
    event->Fire(nullptr, nullptr);
    return result;
}

bool TimeEvent::Parse(const char*& cursor)
{
    if (LexPeekChar(cursor) != '{')
        return false;
    LexGetChar(cursor);
    LexSkipBlanks(cursor);
    while (LexPeekChar(cursor) != '}') {
        char* keyword = nullptr;
        if (!ReadWord(cursor, &keyword))
            return false;
        LexSkipBlanks(cursor);
        bool ok = true;
        s32_t number = 0;
        if (std::strcmp(keyword, "StartTime") == 0 || std::strcmp(keyword, "Periode") == 0 ||
            std::strcmp(keyword, "Times") == 0) {
            ok = LexReadNumber(cursor, &number);
            if (ok && keyword[0] == 'S')
                dueTime = static_cast<u32_t>(number);
            else if (ok && keyword[0] == 'P')
                period = static_cast<u32_t>(number);
            else if (ok)
                remaining = number;
        } else if (std::strcmp(keyword, "Event") == 0) {
            char* name = nullptr;
            ok = ReadWord(cursor, &name);
            ScriptEventList* events = ScriptGlobalEventList();
            event = ok && events ? events->Find(name) : nullptr;
            ok = ok && event != nullptr;
            ScriptFreeText(name);
        } else {
            ok = false;
        }
        ScriptFreeText(keyword);
        if (!ok)
            return false;
        LexSkipBlanks(cursor);
    }
    LexGetChar(cursor);
    return true;
}

void TimeEventList::Create()
{
    if (!g_ai.timeEvents)
        g_ai.timeEvents = new TimeEventList();
}

void TimeEventList::Destroy()
{
    delete g_ai.timeEvents;
    g_ai.timeEvents = nullptr;
}

TimeEventList* TimeEventList::Instance()
{
    return g_ai.timeEvents;
}

bool TimeEventList::Load(const char* path)
{
    return Instance() && Instance()->LoadFile(path);
}

TimeEventList::~TimeEventList()
{
    while (head) {
        TimerNode* node = head;
        head = node->next;
        delete node;
    }
}

void TimeEventList::Append(TimerNode* node)
{
    node->previous = tail;
    node->next = nullptr;
    (tail ? tail->next : head) = node;
    tail = node;
    ++count;
}

void TimeEventList::Unlink(TimerNode* node)
{
    (node->previous ? node->previous->next : head) = node->next;
    (node->next ? node->next->previous : tail) = node->previous;
    --count;
}

bool TimeEventList::LoadFile(const char* path)
{
    char* text = VFSLoadTextFile(path);
    if (!text) {
        AILogPrintf("ERROR : file %snot open\n", path);
        return false;
    }
    SetScriptLine(1);
    Parse(text);
    delete[] text;
    return true;
}

bool TimeEventList::Parse(const char* text)
{
    const char* cursor = text;
    LexSkipBlanks(cursor);
    while (!LexAtEnd(cursor)) {
        char* word = nullptr;
        if (!ReadWord(cursor, &word))
            return false;
        const bool timeEvent = std::strcmp(word, "TimeEvent") == 0;
        ScriptFreeText(word);
        if (!timeEvent)
            return false;
        LexSkipBlanks(cursor);
        auto* node = new TimeEvent();
        if (!node->Parse(cursor)) {
            delete node;
            return false;
        }
        Append(node);
        LexSkipBlanks(cursor);
    }
    return true;
}

void TimeEventList::Update(u32_t time)
{
    for (TimerNode* node = head; node;) {
        TimerNode* next = node->next;
        if (node->Tick(time) == 0) {
            Unlink(node);
            delete node;
        }
        node = next;
    }
}
