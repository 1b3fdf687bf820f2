#include "game/accounts/campaign_chronology.h"

#include <string>

#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "core/video/video.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/current_account.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "gui/texts/gui_locale.h"

namespace {

const char* const kModeNames[] = {"ZEZOD", "TACTICAL"};

AccountState& State()
{
    return g_game.accounts;
}

ScriptFile* Chronology()
{
    const std::string name = "chronolist_" + std::to_string(SinglePlayerMode());
    return GetScriptFile(name.c_str(), false);
}

bool ListHolds(const std::vector<EngineString>& list, const char* text)
{
    for (const EngineString& entry : list) {
        if (CompareNoCase(entry.Text(), text) == 0)
            return true;
    }
    return false;
}

EngineString Localized(const char* key)
{
    EngineString text;
    GuiLocalize(EngineString(key), &text);
    return text;
}

void Offer(std::vector<EngineString>& list, const char* text)
{
    if (static_cast<s32_t>(list.size()) < CHRONOLOGY_OFFERED_SLOTS)
        list.emplace_back(text);
}

// Offers one MISSION section as its commands say (see AccountDetermineNextMission).
void OfferMission(const ScriptSection& mission, s32_t index, const AccountModeProgress& progress)
{
    AccountState& state = State();
    bool hasNeed = false;
    bool lastSeen = false;
    bool finalSeen = false;
    for (const ScriptCommand& command : mission.commands) {
        const char* keyword = command.Keyword();
        if (CompareNoCase(keyword, "final") == 0)
            finalSeen = true;
        else if (CompareNoCase(keyword, "last") == 0)
            lastSeen = true;
        if (CompareNoCase(keyword, "need") != 0)
            continue;
        hasNeed = true;
        if (command.WordCount() < 2)
            continue;
        bool allDone = true;
        for (int w = 1; w < command.WordCount(); ++w)
            allDone = allDone && ListHolds(progress.completedMissions, command.Word(w));
        if (!allDone)
            continue;
        for (const ScriptCommand& entry : mission.commands) {
            if (CompareNoCase(entry.Keyword(), "load") == 0) {
                Offer(state.missionFiles, entry.Word(1));
                state.currentMission.Assign(entry.Word(1));
                if (lastSeen)
                    state.lastMissionIndex = index;
                if (finalSeen)
                    state.finalMission = true;
            } else if (CompareNoCase(entry.Keyword(), "name") == 0) {
                Offer(state.missionNames, Localized(entry.Word(1)).Text());
            }
        }
    }
    if (hasNeed)
        return;
    for (const ScriptCommand& entry : mission.commands) {
        if (CompareNoCase(entry.Keyword(), "load") == 0)
            Offer(state.missionFiles, entry.Word(1));
        else if (CompareNoCase(entry.Keyword(), "name") == 0)
            Offer(state.missionNames, Localized(entry.Word(1)).Text());
    }
}

// Plays the first video of that keyword among the current campaign's missions.
s32_t PlayCutscene(const char* keyword)
{
    ScriptFile* file = Chronology();
    ScriptSection* campaign = file ? file->Root()->FindChild(as_curcampaign.String()) : nullptr;
    if (!campaign)
        return 0;
    for (const ScriptSection* mission : campaign->children) {
        if (CompareNoCase(mission->Name(), "MISSION") != 0)
            continue;
        for (const ScriptCommand& command : mission->commands) {
            if (CompareNoCase(command.Keyword(), keyword) == 0) {
                VideoPlayFullscreen(command.Word(1));
                return 0;
            }
        }
    }
    return 0;
}

}  // namespace

s32_t SinglePlayerMode()
{
    return State().singlePlayerMode;
}

void SetSinglePlayerMode(s32_t mode)
{
    State().singlePlayerMode = mode;
}

s32_t AccountSetSinglePlayerMode(const char*)
{
    if (!GetCurrentAccount())
        return -1;
    for (s32_t i = 0; i < static_cast<s32_t>(std::size(kModeNames)); ++i) {
        if (CompareNoCase(as_spmod.String(), kModeNames[i]) == 0) {
            SetSinglePlayerMode(i);
            break;
        }
    }
    return 0;
}

s32_t AccountDetermineNextMission(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return 0;
    ScriptFile* file = Chronology();
    if (!file)
        return 0;
    AccountState& state = State();
    ScriptSection* root = file->Root();
    state.missionFiles.clear();
    state.missionNames.clear();
    state.lastMissionIndex = -1;
    const AccountModeProgress& progress = account->CurrentMode();

    ScriptSection* campaign = nullptr;
    if (progress.completedCampaigns.empty()) {
        campaign = root->children.empty() ? nullptr : root->children.front();
    } else {
        for (ScriptSection* child : root->children) {
            if (ListHolds(progress.completedCampaigns, child->Name()))
                continue;
            for (const ScriptCommand& command : child->commands) {
                if (CompareNoCase(command.Keyword(), "need") == 0 &&
                    ListHolds(progress.completedCampaigns, command.Word(1))) {
                    campaign = child;
                    break;
                }
            }
            if (campaign)
                break;
        }
    }
    // No campaign left to play: the chronology has ended.
    if (!campaign) {
        g_game.campaignCompleted = !progress.completedCampaigns.empty();
        return 0;
    }
    as_curcampaign.SetString(campaign->Name());
    for (const ScriptCommand& command : campaign->commands) {
        if (CompareNoCase(command.Keyword(), "name") == 0)
            as_curcampaign_l.SetString(Localized(command.Word(1)).Text());
        else if (CompareNoCase(command.Keyword(), "screen") == 0)
            as_campaignscreen.SetString(command.Word(1));
    }
    for (size_t j = 0; j < campaign->children.size(); ++j) {
        const ScriptSection& child = *campaign->children[j];
        if (CompareNoCase(child.Name(), "MISSION") == 0)
            OfferMission(child, static_cast<s32_t>(j), progress);
    }
    return 0;
}

s32_t AccountSetMissionName(const char*)
{
    const AccountState& state = State();
    for (size_t i = 0; i < state.missionFiles.size(); ++i) {
        if (CompareNoCase(state.missionFiles[i].Text(), state.currentMission.Text()) == 0) {
            as_missionname.SetString(i < state.missionNames.size() ? state.missionNames[i].Text() : "");
            break;
        }
    }
    return 0;
}

s32_t AccountDetermineQuickMissions(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return 0;
    AccountState& state = State();
    state.quickMissions.clear();
    for (const EngineString& mission : account->CurrentMode().completedMissions) {
        if (static_cast<s32_t>(state.quickMissions.size()) >= QUICK_MISSION_SLOTS)
            break;
        if (std::string(mission.Text()) != "tutorial")
            state.quickMissions.push_back(mission);
    }
    return 0;
}

s32_t AccountPlayCutsceneBegin(const char*)
{
    return PlayCutscene("cut_begin");
}

s32_t AccountPlayCutsceneAccomplished(const char*)
{
    return PlayCutscene("cut_end_acc");
}

s32_t AccountPlayCutsceneFailed(const char*)
{
    return PlayCutscene("cut_end_fail");
}

s32_t AccountResetSinglePlayer(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return -1;
    account->CurrentMode().completedCampaigns.clear();
    account->CurrentMode().completedMissions.clear();
    return 0;
}

void CampaignChronologyFree()
{
    AccountState& state = State();
    state.missionFiles.clear();
    state.missionNames.clear();
    state.quickMissions.clear();
    state.lastMissionIndex = -1;
}
