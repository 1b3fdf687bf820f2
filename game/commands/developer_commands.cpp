// Developer and options commands beside the mission frame: taking over another actor, turning and
// killing actors, loading a map, the map's display name and the window mode for the next start.
#include <cmath>
#include <cstdio>
#include <string>

#include "actors/actor.h"
#include "core/strings/finite_number.h"
#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/strings/text_case.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/accounts.h"
#include "game/commands/game_commands.h"
#include "game/mission/game_flow.h"
#include "game/commands/mission_commands.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "gui/controls/gui_controls.h"
#include "gui/texts/gui_locale.h"
#include "map/registry/world_registry.h"
#include "platform/file_system.h"
#include "render/render_cvars.h"

namespace {

constexpr float kRadiansPerDegree = 0.0174533f;
constexpr float kKillAllDamage = 10000.0f;

// Every actor of the world whose name equals the text without regard to case, in table order.
template <typename Visit>
void ForEachActorNamed(const char* name, Visit visit)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (object && object->GetTypeId() == OBJECT_TYPE_ACTOR &&
            CompareNoCase(object->GetNameString().Text(), name) == 0)
            visit(static_cast<Actor*>(object));
    }
}

}  // namespace

s32_t GameChangeActor(const char* arguments)
{
    Actor* found = nullptr;
    ForEachActorNamed(arguments ? arguments : "", [&found](Actor* actor) {
        if (!found)
            found = actor;
    });
    if (!found)
        return 0;
    g_frameView.player = found;
    const Vector3 position = found->GetPosition();
    const float at[3] = {position.x, position.y, position.z};
    for (int i = 0; i < 3; ++i) {
        g_frameView.viewPos[i] = at[i];
        g_playerFoot.previousPosition[i] = at[i];
        g_playerFoot.lastLocated[i] = at[i];
    }
    GameSetYawPitch(found->GetRotation().y, g_frameView.pitch);
    return 1;
}

s32_t GameActorSetYaw(const char* arguments)
{
    // The name is read into a bounded field: a longer word is cut, never overruns it.
    char name[128] = {};
    float degrees = 0.0f;
    if (!arguments || std::sscanf(arguments, "%127s %f", name, &degrees) < 1)
        return 0;
    // A heading that is no number would spread into every later turn of the actor.
    if (!std::isfinite(degrees))
        return 0;
    const float radians = degrees * kRadiansPerDegree;
    ForEachActorNamed(name, [radians](Actor* actor) { actor->SetHeading(radians); });
    return 0;
}

s32_t GameKillAll(const char*)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    // A dying actor may leave the table: walk a copy of the actors first.
    Actor* victims[MAX_DYNAMIC_OBJECTS];
    s32_t victimCount = 0;
    for (s32_t i = 0; i < count; ++i)
        if (objects[i] && objects[i]->GetTypeId() == OBJECT_TYPE_ACTOR && objects[i] != g_frameView.player)
            victims[victimCount++] = static_cast<Actor*>(objects[i]);
    for (s32_t i = 0; i < victimCount; ++i)
        victims[i]->ApplyDamage(1, 0.0f, kKillAllDamage);
    return 0;
}

s32_t GameMapCommand(const char* arguments)
{
    GameModEnd();
    dsmap.SetString(arguments ? arguments : "");
    g_program.loopState = LOOP_LOAD_MAP;
    GameFillMissionInfo(nullptr);
    return 0;
}

s32_t GameMapImage(const char*)
{
    ConExecFile((std::string("mission\\") + dsmap.String() + "\\mission.inf").c_str());
    // "_" + the map's name without its last two characters (a numbered map's suffix); a name shorter
    // than two characters leaves "_" alone.
    std::string key = std::string("_") + dsmap.String();
    key.resize(key.size() >= 3 ? key.size() - 2 : 1);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    char* text = GuiFindLocaleText(key.c_str());
    as_missionname.SetString(text ? text : "");
    delete[] text;
    return 0;
}

s32_t GameFullscreen(const char*)
{
    // The window mode changes at the next start, when "config.def" runs: the line is the inverse of the
    // mode in use, and two calls in a row write the same line.
    std::string text = GameConfigText();
    const std::size_t lineEnd = text.find('\n');
    text.replace(0, lineEnd, rbwindowed.Bool() ? "rbwindowed false" : "rbwindowed true");
    if (!PlatformWriteFileAtomically("config.def", text.data(), text.size()))
        return -1;
    GuiWriteMsg("_fnmsg_restart_game", nullptr);
    return 0;
}
