// A player's account: identity, key bindings, 29 stored settings, messages, picture, per-game-mode
// string lists, and per single-player mode the campaign progress and the savegames of each mission.
#pragma once
#include <cstddef>
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"
#include "world/objects/saved_object_state.h"

constexpr s32_t ACCOUNT_MODE_SLOTS = 3;
constexpr s32_t ACCOUNT_BINDING_COUNT = 255;
constexpr s32_t ACCOUNT_OPTION_COUNT = 29;
constexpr s32_t ACCOUNT_MESSAGE_COUNT = 5;
// What a stored text may hold: the reader takes texts through a buffer of 128 bytes.
constexpr u32_t ACCOUNT_TEXT_MAX = 127;

extern const char* const kAccountOptionNames[ACCOUNT_OPTION_COUNT];
extern const char* const kAccountDefaultPicture;

constexpr s32_t SAVEGAME_ITEM_NAMES = 8;
// The most 16-bit values a weapon's saved area holds after its names and flag bytes.
constexpr u32_t SAVEGAME_WEAPON_VALUES_MAX = (SAVED_OBJECT_KIND_AREA_SIZE - 36) / 2;

// A snapshot of a running mission: the view, the player's items and one record per object.
struct Savegame {
    u8_t valid = 0;  // set once the writer has filled it
    float viewPosition[3] = {};
    float viewYaw = 0.0f;
    float viewPitch = 0.0f;
    std::vector<SavedObjectState> records;
    EngineString itemNames[SAVEGAME_ITEM_NAMES];
    // The account file keeps an actor's first two words and no vehicle state: a savegame read from
    // it has those areas only in part, and loading must not hand a vehicle an area of zeros.
    bool areasWhole = true;
};

struct MissionSavegames {
    EngineString mission;
    std::vector<Savegame> savegames;
    s32_t maxSavegames = 0;

    void AddSavegame(Savegame savegame) { savegames.push_back(std::move(savegame)); }
};

// Whether a save without index can add a savegame: it keeps only the first `mark` savegames (those the
// running mission made), so those past the mark count for nothing.
inline bool SavegameRoomLeft(const MissionSavegames& mission, u32_t mark)
{
    const std::size_t kept = mission.savegames.size() < mark ? mission.savegames.size() : mark;
    return mission.maxSavegames > 0 && kept < static_cast<std::size_t>(mission.maxSavegames);
}

struct GameModStringList {
    EngineString gameMod;
    std::vector<EngineString> strings;
};

struct AccountModeProgress {
    std::vector<EngineString> completedCampaigns;
    std::vector<EngineString> completedMissions;
    std::vector<MissionSavegames> savegames;
    // How many of the savegames the running mission has made (not stored): a save without index
    // first drops those past it.
    u32_t savegameMark = 0;
};

struct PlayerAccount {
    // Default settings and the default picture; the live key bindings are left alone.
    PlayerAccount();

    // Without regard to case.
    bool CheckPassword(const char* text) const;
    // For the current single-player mode; a name already there (without regard to case) is not added.
    void AddCompletedMission(const char* missionName);
    void AddCompletedCampaign(const char* campaignName);
    // The mission's savegames in the current mode, made when missing.
    MissionSavegames& GetMissionSavegames(const char* missionName);
    AccountModeProgress& CurrentMode();

    void SetDefaultKeys();
    void SetDefaultOptions();
    // The key-to-action table from the bindings: actions upward, so the higher action owns a shared key.
    void ApplyKeyBindings(u8_t* keyActionTable) const;

    EngineString name;
    EngineString password;
    EngineString language;
    EngineString playerName;
    u8_t keyBindings[ACCOUNT_BINDING_COUNT] = {};
    EngineString optionNames[ACCOUNT_OPTION_COUNT];
    EngineString optionValues[ACCOUNT_OPTION_COUNT];
    EngineString leaderMessage;
    EngineString teamMessages[ACCOUNT_MESSAGE_COUNT];
    EngineString globalMessages[ACCOUNT_MESSAGE_COUNT];
    EngineString picture;
    std::vector<GameModStringList> gameModLists;
    AccountModeProgress modes[ACCOUNT_MODE_SLOTS];
    // The file the account was read from ("accounts\" + its name on disk); empty for one made in this
    // run. Its writes and its removal go to that file, whatever name the account holds.
    EngineString fileName;
};

// The longest account name: with ".acc" it stays within the path layer's 63 characters a name.
constexpr std::size_t ACCOUNT_NAME_MAX = 59;

// True when a name may become an account's file name: no folder separator, drive mark, "..", "." alone
// or control character, and at most ACCOUNT_NAME_MAX characters.
bool AccountNameIsSafe(const char* name);
