// Writing an account that holds a savegame of 256 soldiers, each with a weapon (its ring of values
// filled), through the atomic write (temporary file, sync, rename, folder sync), beside writing the
// same bytes in place without them; and reading the account's record back. Then the whole road on a
// world of 256 sample soldiers (built from the packed sample data) carrying their weapons: the
// savegame taken from the world with the account written, and the savegame put back into the world.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "core/files/script_file.h"
#include "core/files/uff_file.h"
#include "core/files/vfs.h"
#include "game/accounts/account_file.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "game/accounts/savegame.h"
#include "map/registry/world_registry.h"
#include "platform/file_system.h"
#include "platform/test_clock.h"
#include "tests/support/def_apply.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr int kSoldiers = 256;

PlayerAccount& Account()
{
    static PlayerAccount account = [] {
        PlayerAccount made;
        made.name.Assign("bench");
        Savegame savegame;
        savegame.records.resize(2 * kSoldiers);
        for (int i = 0; i < kSoldiers; ++i) {
            SavedObjectState& soldier = savegame.records[static_cast<size_t>(i)];
            soldier.name.Assign(("soldier_" + std::to_string(i)).c_str());
            soldier.kind = 2;
            soldier.position = {static_cast<float>(i), 0.0f, static_cast<float>(-i)};
            soldier.kindArea[0] = 100;
            SavedObjectState& weapon = savegame.records[static_cast<size_t>(kSoldiers + i)];
            weapon.name.Assign("rifle");
            weapon.kind = 4;
            std::snprintf(reinterpret_cast<char*>(weapon.kindArea), 16, "soldier_%d", i);
            std::strcpy(reinterpret_cast<char*>(weapon.kindArea + 16), "rifle");
            weapon.kindArea[34] = 30;
            for (int v = 0; v < 60; ++v)
                weapon.kindArea[36 + v] = static_cast<u8_t>(v);
        }
        made.GetMissionSavegames("map_01").AddSavegame(savegame);
        return made;
    }();
    return account;
}

// The benchmarks write into a folder of their own.
struct Folder {
    Folder()
    {
        path = std::filesystem::temp_directory_path() / ("savegame_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(path);
    }
    ~Folder()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
    std::filesystem::path path, previous;
};

void BM_AccountSaveAtomic(benchmark::State& state)
{
    Folder folder;
    PlayerAccount& account = Account();
    for (auto _ : state)
        benchmark::DoNotOptimize(AccountSave(account));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size("accounts/bench.acc")));
}
BENCHMARK(BM_AccountSaveAtomic)->Unit(benchmark::kMicrosecond);

// The peer: the same record bytes written in place, without temporary file, sync or rename.
void BM_PlainWriteSameBytes(benchmark::State& state)
{
    Folder folder;
    std::filesystem::create_directories("accounts");
    PlayerAccount& account = Account();
    std::vector<u8_t> record;
    for (auto _ : state) {
        record.clear();
        AccountWriteRecord(account, record);
        UffWriter writer("accounts\\bench.acc");
        const s32_t top = writer.BeginEntry("account", -1);
        writer.EndEntry();
        writer.BeginEntry(account.name.Text(), top);
        writer.Write(record.data(), static_cast<u32_t>(record.size()));
        writer.EndEntry();
        benchmark::DoNotOptimize(writer.Finish());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size("accounts/bench.acc")));
}
BENCHMARK(BM_PlainWriteSameBytes)->Unit(benchmark::kMicrosecond);

void BM_AccountRecordRead(benchmark::State& state)
{
    std::vector<u8_t> record;
    AccountWriteRecord(Account(), record);
    for (auto _ : state) {
        PlayerAccount read;
        benchmark::DoNotOptimize(AccountReadRecord(read, record.data(), static_cast<u32_t>(record.size())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(record.size()));
}
BENCHMARK(BM_AccountRecordRead)->Unit(benchmark::kMicrosecond);

// 256 sample soldiers, each with the weapons his definition gives him, in the world registry; the
// packed sample data stays open in a folder of its own.
struct SoldierWorld {
    ~SoldierWorld()
    {
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }
    bool ready = false;
    std::string error;
    std::filesystem::path folder;
};

SoldierWorld& TheSoldierWorld()
{
    static SoldierWorld w;
    static bool tried = false;
    if (tried)
        return w;
    tried = true;
    w.folder = std::filesystem::temp_directory_path() / ("savegame_bench_world_" + std::to_string(::getpid()));
    std::filesystem::create_directories(w.folder);
    if (!BfsPackFolder(ZINTAR_SAMPLE_DIR, (w.folder / "main.bfs").string(), w.error))
        return w;
    std::filesystem::current_path(w.folder);
    if (!VFSInit()) {
        w.error = "the file system did not start";
        return w;
    }
    CreateScriptCache();
    PlatformTestClockStart(1000000);
    for (int i = 0; i < kSoldiers; ++i) {
        Actor* soldier = new Actor();
        soldier->name.Assign(("soldier_" + std::to_string(i)).c_str());
        ApplyDefFile("object\\actors\\soldier.def", soldier);
        if (!soldier->classInfo || !soldier->weapons[0]) {
            w.error = "the sample soldier did not build";
            return w;
        }
        soldier->SetPosition({static_cast<float>(i % 16) * 20.0f, 0.0f, static_cast<float>(i / 16) * 20.0f});
        DynObjectAdd(soldier);
    }
    w.ready = true;
    return w;
}

bool WorldReady(benchmark::State& state)
{
    SoldierWorld& w = TheSoldierWorld();
    if (!w.ready)
        state.SkipWithError(w.error.empty() ? "the world did not build" : w.error.c_str());
    return w.ready;
}

// As gx_savegame does it: the world's savegame taken and kept with the account, the account written.
void BM_WorldSaveWithAccountWrite(benchmark::State& state)
{
    if (!WorldReady(state))
        return;
    std::filesystem::current_path(TheSoldierWorld().folder);
    PlayerAccount account;
    account.name.Assign("world");
    MissionSavegames& saves = account.GetMissionSavegames("map_01");
    for (auto _ : state) {
        Savegame savegame;
        g_game.savingRestart = true;
        SavegameWrite(savegame);
        g_game.savingRestart = false;
        saves.savegames.clear();
        saves.AddSavegame(savegame);
        benchmark::DoNotOptimize(AccountSave(account));
    }
    state.counters["records"] = static_cast<double>(saves.savegames[0].records.size());
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size("accounts/world.acc"));
}
BENCHMARK(BM_WorldSaveWithAccountWrite)->Unit(benchmark::kMillisecond);

// As gx_loadgame does it: the savegame put back into the world.
void BM_WorldLoad(benchmark::State& state)
{
    if (!WorldReady(state))
        return;
    Savegame savegame;
    g_game.savingRestart = true;
    SavegameWrite(savegame);
    g_game.savingRestart = false;
    for (auto _ : state) {
        g_game.savingRestart = true;
        benchmark::DoNotOptimize(SavegameApply(savegame));
        g_game.savingRestart = false;
    }
    state.counters["records"] = static_cast<double>(savegame.records.size());
}
BENCHMARK(BM_WorldLoad)->Unit(benchmark::kMillisecond);

}  // namespace
