// Writing an account that holds a savegame of 256 soldiers, each with a weapon (its ring of values
// filled), through the atomic write (temporary file, sync, rename, folder sync), beside writing the
// same bytes in place without them; and reading the account's record back.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/uff_file.h"
#include "game/account_file.h"
#include "game/player_account.h"
#include "platform/file_system.h"

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

}  // namespace
