#include "gui/screens/gui_live_values.h"

#include <cstdio>
#include <cstring>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "game/accounts/current_account.h"
#include "game/accounts/player_account.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"

namespace {

constexpr s32_t kSavegameConditions = 16;
constexpr s32_t kObjectiveConditions = 6;

const char* StringVar(const char* name)
{
    const ConsoleVar* var = CVarListFind(name);
    return var && var->type == CVAR_STRING ? var->String() : "";
}

s32_t IntVar(const char* name)
{
    const ConsoleVar* var = CVarListFind(name);
    return var && var->type == CVAR_INT ? var->Int() : 0;
}

// The current account's savegames of the next mission's map; null without an account or a record.
const MissionSavegames* MapSavegames()
{
    PlayerAccount* account = GetCurrentAccount();
    const char* map = StringVar("dsmap");
    if (!account || !*map)
        return nullptr;
    for (const MissionSavegames& record : account->CurrentMode().savegames) {
        if (CompareNoCase(record.mission.Text(), map) == 0)
            return &record;
    }
    return nullptr;
}

// Savegames are offered on foot only: false without a player.
bool PlayerOnFoot()
{
    const Actor* actor = PlayerActor();
    return actor && !actor->inVehicle;
}

}  // namespace

bool GuiIsLiveValue(const char* text)
{
    return text && text[0] == '$';
}

void GuiGetLiveValue(const char* text, char* out, u32_t room)
{
    if (!text || !*text || !out || room == 0)
        return;
    const char* name = text + 1;
    if (const ConsoleVar* var = CVarListFind(name)) {
        GuiCopyBounded(out, room, var->type == CVAR_STRING ? var->String() : var->ValueToText());
        return;
    }
    const Actor* player = PlayerActor();
    const Weapon* weapon = ActorWeaponInUse(player);
    if (std::strcmp(name, "CURRENTWEAPON") == 0) {
        GuiCopyBounded(out, room, weapon ? weapon->name.Text() : "");
    } else if (std::strcmp(name, "CURRENTAMMO") == 0) {
        if (weapon)
            std::snprintf(out, room, "%d", static_cast<int>(weapon->roundsInGun));
        else
            out[0] = '\0';
    } else if (std::strcmp(name, "CURRENTMAGAZINES") == 0) {
        if (weapon)
            std::snprintf(out, room, "%d", static_cast<int>(weapon->spareMagazines));
        else
            out[0] = '\0';
    } else if (std::strcmp(name, "CURRENTACCOUNT") == 0) {
        GuiCopyBounded(out, room, StringVar("as_accname"));
    } else if (std::strcmp(name, "CURRENTHEALTH") == 0) {
        if (player)
            std::snprintf(out, room, "%g", static_cast<double>(player->GetHealth()));
        else
            out[0] = '\0';
    } else if (std::strcmp(name, "ACTIVATEBULLETCOUNT") == 0) {
        if (weapon)
            std::snprintf(out, room, "%d", static_cast<int>(ProjectileTableCountByName(weapon->activateBullet.Text())));
        else
            out[0] = '\0';
    }
}

bool GuiEvalCondition(const char* name)
{
    if (!name)
        return true;
    if (CompareNoCase(name, "logged_on") == 0)
        return *StringVar("as_accname") != '\0';
    if (CompareNoCase(name, "server_selected") == 0)
        return *StringVar("gs_joinservername") != '\0';
    if (CompareNoCase(name, "map_selected") == 0)
        return *StringVar("dsmap") != '\0';
    if (CompareNoCase(name, "srv_create_cond") == 0)
        return *StringVar("dsmap") != '\0' && *StringVar("gs_joinservername") != '\0';
    if (CompareNoCase(name, "saves") == 0) {
        if (!PlayerOnFoot() || IntVar("gi_maxsaves") == 0)
            return false;
        // The count the save command sees: it first drops the savegames past the running mission's
        // mark, so old savegames kept for loading take no room.
        const MissionSavegames* record = MapSavegames();
        return record && SavegameRoomLeft(*record, GetCurrentAccount()->CurrentMode().savegameMark);
    }
    char numbered[32];
    for (s32_t n = 0; n < kSavegameConditions; ++n) {
        std::snprintf(numbered, sizeof numbered, "sg%d_present", static_cast<int>(n));
        if (CompareNoCase(name, numbered) != 0)
            continue;
        if (!PlayerOnFoot())
            return false;
        const MissionSavegames* record = MapSavegames();
        return record && n >= 1 && static_cast<std::size_t>(n - 1) < record->savegames.size();
    }
    for (s32_t n = 0; n < kObjectiveConditions; ++n) {
        std::snprintf(numbered, sizeof numbered, "objective%d_present", static_cast<int>(n));
        if (CompareNoCase(name, numbered) == 0)
            return n < IntVar("gi_objectivecnt");
    }
    return true;
}

void GuiSendEvent(GuiControl* control, const char* event)
{
    if (!control || !event)
        return;
    if (CompareNoCase(event, "OnIncrement") == 0)
        control->OnIncrement();
    else if (CompareNoCase(event, "OnDecrement") == 0)
        control->OnDecrement();
    else if (CompareNoCase(event, "OnDeInit") == 0)
        control->OnDeInit();
    else if (CompareNoCase(event, "RefreshData") == 0)
        control->RefreshData();
    else if (CompareNoCase(event, "DeleteSelection") == 0)
        control->DeleteSelection();
}

void GuiSetExitAction(const char* name)
{
    static const char* const kNames[] = {"STARTGAME", "EXITGAME",       "PREVIOUS",
                                         "EXITTOGUI", "EXITTOCAMPAIGN", "EXITTOQUICKMISSIONS"};
    if (!name)
        return;
    for (s32_t i = 0; i < 6; ++i) {
        if (std::strcmp(name, kNames[i]) == 0) {
            g_gui.exitAction = i + 1;
            return;
        }
    }
}
