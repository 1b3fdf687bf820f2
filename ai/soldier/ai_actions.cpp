#include "ai/soldier/ai_actions.h"

#include <cmath>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "core/assert.h"
#include "gui/screens/gui_in_game.h"

float AIScriptDistanceBetween(const Vector3& a, const Vector3& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) / AI_WORLD_UNITS_PER_SCRIPT_UNIT;
}

const char* AISpeakerName(const Actor* body)
{
    if (!body)
        return "";
    return body->envelope ? body->envelope->name.Text() : body->name.Text();
}

void AIShowRadioSubtitle(const Actor* body, const char* key)
{
    // The subtitle plays the line's sound itself: one line, one sound.
    GuiShowSubtitle(AISpeakerName(body), key, AI_RADIO_SUBTITLE_MS);
}

s32_t AIEventIdArg(ScriptArgWord* args)
{
    const s32_t id = AIArgInt(args, 0);
    const bool valid = id >= 0 && static_cast<u32_t>(id) < MAX_AII_EVENTS;
    ENGINE_ASSERT_TEXT(valid, "src_i < MAX_AII_EVENTS");
    return valid ? id : -1;
}
