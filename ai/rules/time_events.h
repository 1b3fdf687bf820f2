// Script events fired at set mission times from the mission's "timeline.txt": once, a number of
// times, or every frame or period from a start time on.
#pragma once
#include "core/types.h"

class ScriptEvent;

// A node of a timed list: Tick answers -1 (not due), 1 (fired, keep) or 0 (fired the last time, or
// nothing to fire: remove).
class TimerNode {
public:
    virtual ~TimerNode() = default;
    virtual s32_t Tick(u32_t time) = 0;
    void SetCount(s32_t times) { remaining = times; }
    void SetPeriod(u32_t milliseconds, s32_t times)
    {
        period = milliseconds;
        remaining = times;
    }
    void SetSchedule(u32_t due, u32_t milliseconds, s32_t times)
    {
        dueTime = due;
        SetPeriod(milliseconds, times);
    }

    TimerNode* previous = nullptr;
    TimerNode* next = nullptr;
    u32_t period = 0;
    s32_t remaining = -1;  // -1: unlimited
    u32_t lastFired = 0;
    u32_t dueTime = 0;
};

class TimeEvent : public TimerNode {
public:
    s32_t Tick(u32_t time) override;
    // Reads "{ StartTime n Periode n Times n Event name }" (each pair optional, any order).
    bool Parse(const char*& cursor);

    ScriptEvent* event = nullptr;
};

class TimeEventList {
public:
    // The mission's list: made at mission start, gone at its end.
    static void Create();
    static void Destroy();
    static TimeEventList* Instance();
    // False without a list; otherwise LoadFile.
    static bool Load(const char* path);

    // True once the file was read, even when reading stopped at a broken entry.
    bool LoadFile(const char* path);
    bool Parse(const char* text);
    // Ticks every node with the mission time; finished nodes go.
    void Update(u32_t time);
    s32_t Count() const { return count; }
    ~TimeEventList();

private:
    void Append(TimerNode* node);
    void Unlink(TimerNode* node);

    TimerNode* head = nullptr;
    TimerNode* tail = nullptr;
    s32_t count = 0;
};
