#include "game/accounts/accounts.h"

#include <cstring>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/sound/sound.h"
#include "core/strings/text_case.h"
#include "core/files/uff_file.h"
#include "core/files/vfs.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/account_file.h"
#include "game/accounts/current_account.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/view/mouse_look.h"
#include "game/accounts/player_account.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/gui_cvars.h"
#include "platform/file_system.h"
#include "platform/win32.h"
#include "render/render_cvars.h"

namespace {

std::vector<PlayerAccount*>& List()
{
    return g_game.accounts.list;
}

void ClearGameModMaps()
{
    for (s32_t i = 0; i < GameModRegistryCount(); ++i) {
        if (GameMod* mod = GameModRegistryAt(i))
            GameModClearMaps(mod);
    }
}

s32_t Refuse(const char* key, s32_t result)
{
    GuiWriteMsg(key, nullptr);
    return result;
}

// The names the folder scan found; a growing list, whatever the number of files.
std::vector<std::string>& ScannedNames()
{
    static std::vector<std::string> names;
    return names;
}

void CollectAccountFile(const char* name, const char*)
{
    if (CompareNoCase(name, ".") != 0 && CompareNoCase(name, "..") != 0)
        ScannedNames().emplace_back(name);
}

// Shown while the language changes: the switch screen for one frame and the GUI rebuilt.
void SwitchLanguage()
{
    if (CompareNoCase(language.String(), prev_lang.String()) == 0 || !g_gui.currentScreen)
        return;
    prev_lang.SetString(language.String());
    g_gui.currentScreen->StopSounds();
    g_gui.currentScreen->DeInit();
    SetCursorVisible(false);
    GuiShowLanguageSwitch();
    GuiRefresh();
    SetCursorVisible(true);
}

// The temporary file of an interrupted account write: "<name>.acc" followed by the writer's suffix.
bool IsAccountWriteLeftover(const std::string& name)
{
    const std::string ending = std::string(".acc") + ATOMIC_WRITE_SUFFIX;
    return name.size() > ending.size() &&
           CompareNoCase(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0;
}

// A file already standing where a new account's file goes (one start-up refused, or one another
// account was read from) is renamed out of the way, never overwritten. False when it stays there.
bool KeepFileAside(const std::string& path)
{
    if (!PlatformFileExists(path.c_str()))
        return true;
    for (int n = 1; n <= 99; ++n) {
        const std::string kept = path + ".kept" + (n > 1 ? std::to_string(n) : std::string());
        if (PlatformFileExists(kept.c_str()))
            continue;
        if (!PlatformReplaceFile(path.c_str(), kept.c_str()))
            break;
        Log("Account file '%s' kept as '%s'\n", path.c_str(), kept.c_str());
        // An account read from that file now lives under the new name.
        for (PlayerAccount* account : List()) {
            if (CompareNoCase(account->fileName.Text(), path.c_str()) == 0)
                account->fileName.Assign(kept.c_str());
        }
        return true;
    }
    Log("WARNING: account file '%s' could not be kept aside\n", path.c_str());
    return false;
}

void LogWithTime(const char* what)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    Log("'%s' %s (%d:%d).\n", as_accname.String(), what, now.wHour, now.wMinute);
}

ConsoleVar* const* MessageVariables(bool team)
{
    static ConsoleVar* const global[] = {&as_globalmsg1, &as_globalmsg2, &as_globalmsg3, &as_globalmsg4,
                                         &as_globalmsg5};
    static ConsoleVar* const teamVars[] = {&as_teammsg1, &as_teammsg2, &as_teammsg3, &as_teammsg4, &as_teammsg5};
    return team ? teamVars : global;
}

void ApplyLiveKeys(const PlayerAccount& account)
{
    account.ApplyKeyBindings(g_input.keyMap);
}

}  // namespace

void AccountsInit()
{
    Log("Initializing accounts...");
    ScannedNames().clear();
    VFSFindFile("accounts", "*", CollectAccountFile, true);
    for (const std::string& name : ScannedNames()) {
        const std::string path = "accounts\\" + name;
        // What an account write cut short left: the account file beside it is the one that counts.
        // Other files of the folder are the user's.
        if (IsAccountWriteLeftover(name)) {
            PlatformRemoveFile(path.c_str());
            continue;
        }
        UffFile file(path.c_str());
        auto* account = new PlayerAccount();
        // An unreadable file or one whose name could not be written back safely is refused and left
        // on disk as it is; a second file of a name already listed (an account made before the scan)
        // is skipped.
        if (!file.IsOpen() || !AccountReadFile(*account, file) || !AccountNameIsSafe(account->name.Text())) {
            Log("WARNING: account file '%s' refused\n", path.c_str());
            delete account;
            continue;
        }
        if (AccountFindByName(account->name.Text())) {
            delete account;
            continue;
        }
        account->fileName.Assign(path.c_str());
        List().push_back(account);
    }
    ScannedNames().clear();
    Log("done\n");
}

bool AccountsSaveCurrent()
{
    PlayerAccount* account = GetCurrentAccount();
    return !account || AccountSave(*account);
}

void AccountsShutdown()
{
    Log("Destroying accounts...");
    for (PlayerAccount* account : List())
        delete account;
    List().clear();
    Log("done\n");
}

PlayerAccount* AccountFindByName(const char* name)
{
    if (!name)
        return nullptr;
    for (PlayerAccount* account : List()) {
        if (CompareNoCase(account->name.Text(), name) == 0)
            return account;
    }
    return nullptr;
}

void AccountsAdd(PlayerAccount* account)
{
    if (account)
        List().push_back(account);
}

void AccountsRemove(PlayerAccount* account)
{
    auto& list = List();
    const auto at = std::find(list.begin(), list.end(), account);
    if (at == list.end())
        return;
    list.erase(at);
    delete account;
}

void AccountsGetList(PlayerAccount* const** accounts, s32_t* count)
{
    *accounts = List().data();
    *count = static_cast<s32_t>(List().size());
}

u32_t DiskFileSize(const char* path)
{
    std::FILE* file = PlatformOpenFile(path, "rb");
    if (!file)
        return 0;
    const std::int64_t size = PlatformFileSize(file);
    std::fclose(file);
    return size > 0 ? static_cast<u32_t>(size) : 0;
}

PlayerAccount* GetCurrentAccount()
{
    PlayerAccount* found = nullptr;
    for (PlayerAccount* account : List()) {
        if (CompareNoCase(account->name.Text(), as_accname.String()) == 0)
            found = account;  // the last one of that name wins
    }
    return found;
}

s32_t AccountAdd(const char*)
{
    const char* name = as_curaccount.String();
    if (!*name)
        return Refuse("_fnmsg_empty_acc_name", 1);
    // The name becomes a file name: nothing that reaches another folder or that the file system
    // cannot hold ("." and ".." are refused as such, not as short).
    if (!AccountNameIsSafe(name))
        return Refuse("_fnmsg_invalid_acc_name", 1);
    if (std::string(name).size() < 3)
        return Refuse("_fnmsg_too_short_acc_name", 1);
    if (CompareNoCase(as_accpassword.String(), as_curpassword.String()) != 0)
        return Refuse("_fnmsg_password_match_error", 1);
    if (AccountFindByName(name) || !KeepFileAside(AccountFilePath(name)))
        return Refuse("_fnmsg_account_exists", 1);
    as_accname.SetString(name);
    as_playername.SetString(name);
    auto* account = new PlayerAccount();
    account->SetDefaultKeys();
    ApplyLiveKeys(*account);
    account->name.Assign(as_accname.String());
    account->playerName.Assign(as_playername.String());
    account->password.Assign(as_accpassword.String());
    account->language.Assign(language.String());
    SwitchLanguage();
    as_accname.SetString(account->name.Text());
    List().push_back(account);
    AccountSave(*account);
    as_curpassword.SetString("");
    as_curaccount.SetString("");
    as_playerimage.SetString(kAccountDefaultPicture);
    as_curimage.SetString(kAccountDefaultPicture);
    return 0;
}

s32_t AccountLogIn(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return Refuse("_fnmsg_no_current_account", 1);
    if (!account->CheckPassword(as_curpassword.String()))
        return Refuse("_fnmsg_invalid_password", 1);
    as_accname.SetString(account->name.Text());
    as_playername.SetString(account->playerName.Text());
    language.SetString(account->language.Text());
    as_curaccount.SetString(as_accname.String());
    SwitchLanguage();
    ApplyLiveKeys(*account);
    as_curpassword.SetString("");
    as_curaccount.SetString("");
    as_leadmsg.SetString(account->leaderMessage.Text());
    as_playerimage.SetString(account->picture.Text());
    for (int i = 0; i < ACCOUNT_MESSAGE_COUNT; ++i) {
        MessageVariables(false)[i]->SetString(account->globalMessages[i].Text());
        MessageVariables(true)[i]->SetString(account->teamMessages[i].Text());
    }
    as_curimage.SetString(as_playerimage.String());
    // The game modes' map lists are the account's own: the last player's lists go first.
    ClearGameModMaps();
    for (const GameModStringList& list : account->gameModLists) {
        if (GameMod* mod = FindGameMod(list.gameMod.Text())) {
            for (const EngineString& text : list.strings)
                GameModAppendMap(mod, text.Text());
        }
    }
    AccountApplySettings(*account);
    LogWithTime("logged in");
    return 0;
}

s32_t AccountLogOff(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return Refuse("_fnmsg_no_current_account", 1);
    account->leaderMessage.Assign(as_leadmsg.String());
    account->picture.Assign(as_playerimage.String());
    for (int i = 0; i < ACCOUNT_MESSAGE_COUNT; ++i) {
        account->globalMessages[i].Assign(MessageVariables(false)[i]->String());
        account->teamMessages[i].Assign(MessageVariables(true)[i]->String());
    }
    for (s32_t i = 0; i < GameModRegistryCount(); ++i) {
        GameMod* mod = GameModRegistryAt(i);
        if (!mod)
            continue;
        GameModStringList* record = nullptr;
        for (GameModStringList& list : account->gameModLists) {
            if (CompareNoCase(list.gameMod.Text(), mod->name) == 0)
                record = &list;
        }
        if (!record) {
            account->gameModLists.emplace_back();
            record = &account->gameModLists.back();
            record->gameMod.Assign(mod->name);
        }
        record->strings.clear();
        for (u32_t map = 0; map < GameModMapCount(mod); ++map)
            record->strings.emplace_back(GameModMapAt(mod, map));
    }
    ClearGameModMaps();
    as_curpassword.SetString("");
    as_curaccount.SetString("");
    LogWithTime("logged out");
    as_accname.SetString("");
    AccountSave(*account);
    return 0;
}

s32_t AccountRemove(const char*)
{
    if (PlayerAccount* account = GetCurrentAccount()) {
        if (!account->CheckPassword(as_curpassword.String()))
            return Refuse("_fnmsg_invalid_password", 1);
        as_accname.SetString(account->name.Text());
        // The file the account lives in, which is not always named after it: left behind, it would
        // bring the account back at the next start.
        const std::string path = AccountFileOf(*account);
        const bool safe = AccountNameIsSafe(account->name.Text());
        AccountsRemove(account);
        if (safe)
            PlatformRemoveFile(path.c_str());
    }
    as_accname.SetString("");
    as_playername.SetString("");
    as_curpassword.SetString("");
    as_curaccount.SetString("");
    return 0;
}

s32_t AccountUpdate(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return Refuse("_fnmsg_no_current_account", -1);
    if (!*as_curaccount.String() || !*as_curpassword.String())
        return Refuse("_fnmsg_no_string", -1);
    if (!AccountNameIsSafe(as_curaccount.String()))
        return Refuse("_fnmsg_invalid_acc_name", -1);
    as_playername.SetString(as_curaccount.String());
    as_accpassword.SetString(as_curpassword.String());
    account->playerName.Assign(as_playername.String());
    ApplyLiveKeys(*account);
    as_curpassword.SetString("");
    as_curaccount.SetString("");
    return 0;
}

s32_t AccountUpdateName(const char*)
{
    PlayerAccount* account = GetCurrentAccount();
    if (!account)
        return Refuse("_fnmsg_no_current_account", -1);
    if (!*as_curaccount.String())
        return Refuse("_fnmsg_no_string", -1);
    if (!AccountNameIsSafe(as_curaccount.String()))
        return Refuse("_fnmsg_invalid_acc_name", -1);
    as_playername.SetString(as_curaccount.String());
    account->playerName.Assign(as_playername.String());
    ApplyLiveKeys(*account);
    as_curaccount.SetString("");
    return 0;
}

s32_t AccountUpdatePicture(const char*)
{
    as_playerimage.SetString(as_curimage.String());
    return 0;
}

s32_t AccountRefresh(const char*)
{
    as_curimage.SetString(as_playerimage.String());
    if (GuiControl* picture = GuiFindItem("PLAYER_PICTURE"))
        picture->RefreshData();
    return 0;
}

void AccountApplySettings(const PlayerAccount& account)
{
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        if (ConsoleVar* cvar = FindCVar(account.optionNames[i].Text()))
            cvar->SetFromText(account.optionValues[i].Text());
    }
    // The resolution control shows the display size's entry.
    const s32_t pixels = riwidth.Int() * riheight.Int();
    if (pixels == 800 * 600)
        GuiSelectResolution(0);
    else if (pixels == 1024 * 768)
        GuiSelectResolution(1);
    else if (pixels == 1280 * 1024)
        GuiSelectResolution(2);
    SoundApplyVolumes();
    GameUpdateMouseSensitivity();
}

void AccountResetCurrentMissionValue()
{
    // The mission's save count: a mission started afresh has made no savegame in this run, so the
    // next save without an index keeps none of the loaded ones past the mark.
    if (PlayerAccount* account = GetCurrentAccount())
        account->CurrentMode().savegameMark = 0;
}
