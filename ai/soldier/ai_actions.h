// What the soldier action methods share: reading call arguments, script distances and the radio
// subtitles a soldier speaks.
#pragma once
#include "ai/script/script_functions.h"
#include "core/types.h"

class Actor;

// A script radius or distance is this many world units per script unit; a distance going back to a
// script is the world distance over it.
constexpr float AI_WORLD_UNITS_PER_SCRIPT_UNIT = 10.0f;
// What a distance query answers without the object it measures to.
constexpr float AI_FAR_DISTANCE = 1e30f;
// How long a soldier's radio subtitle stays.
constexpr u32_t AI_RADIO_SUBTITLE_MS = 1500;

// True when the call gave argument word i (the words of a call end with a null one).
inline bool AIArgGiven(ScriptArgWord* args, int index)
{
    for (int i = 0; i <= index; ++i) {
        if (!args || !args[i])
            return false;
    }
    return true;
}
inline s32_t AIArgInt(ScriptArgWord* args, int index)
{
    return *static_cast<const s32_t*>(args[index]);
}
inline float AIArgFloat(ScriptArgWord* args, int index)
{
    return *static_cast<const float*>(args[index]);
}
inline const char* AIArgText(ScriptArgWord* args, int index)
{
    return static_cast<const char*>(args[index]);
}

// The sound-event id of a call's first argument (given, the caller checked), asserted in range;
// -1 when it is out of range.
s32_t AIEventIdArg(ScriptArgWord* args);

// The world distance between the points in script units.
float AIScriptDistanceBetween(const Vector3& a, const Vector3& b);
// The name a soldier speaks with: its body envelope's name, else the body's own.
const char* AISpeakerName(const Actor* body);
// Says the text key on the message console and shows it as the subtitle for 1500 ms, spoken by the
// body.
void AIShowRadioSubtitle(const Actor* body, const char* key);
