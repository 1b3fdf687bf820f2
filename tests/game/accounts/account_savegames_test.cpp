// Savegames in the account file: the bytes of each record kind, the refusal of records whose counts
// or names pass their fields, a save killed at each step of its write, and damaged savegame parts.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "account_fixture.h"
#include "core/random.h"
#include "platform/file_system.h"

namespace {

void Put32(u8_t* at, u32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<u8_t>(value >> (8 * i));
}

void PutFloat(u8_t* at, float value)
{
    u32_t bits;
    std::memcpy(&bits, &value, 4);
    Put32(at, bits);
}

// One actor, one weapon holding two values and one projectile, as the objects' own saved areas lay
// them out.
Savegame SmallSavegame()
{
    Savegame savegame;
    savegame.viewPosition[0] = 1.0f;
    savegame.viewPosition[1] = 2.0f;
    savegame.viewPosition[2] = 3.0f;
    savegame.viewYaw = 0.5f;
    savegame.viewPitch = -1.0f;
    savegame.records.resize(3);
    SavedObjectState& actor = savegame.records[0];
    actor.name.Assign("al");
    actor.kind = 2;
    Put32(actor.kindArea, 100);
    Put32(actor.kindArea + 4, 3);
    actor.kindArea[8] = 0x77;  // beyond the two words: not in the file
    SavedObjectState& weapon = savegame.records[1];
    weapon.name.Assign("gun");
    weapon.kind = 4;
    weapon.position.y = 1.0f;
    std::strcpy(reinterpret_cast<char*>(weapon.kindArea), "al");
    std::strcpy(reinterpret_cast<char*>(weapon.kindArea + 16), "gun");
    weapon.kindArea[32] = 5;
    weapon.kindArea[33] = 7;
    weapon.kindArea[34] = 2;
    weapon.kindArea[36] = 0x02;
    weapon.kindArea[37] = 0x01;
    weapon.kindArea[38] = 0xFF;
    weapon.kindArea[39] = 0xFF;
    SavedObjectState& shot = savegame.records[2];
    shot.name.Assign("p");
    shot.kind = 11;
    Put32(shot.kindArea, 0x11223344u);
    PutFloat(shot.kindArea + 4, 1.0f);
    PutFloat(shot.kindArea + 24, -1.0f);
    std::strcpy(reinterpret_cast<char*>(shot.kindArea + 28), "gun");
    Put32(shot.kindArea + 60, 0x55);
    return savegame;
}

std::vector<u8_t> Hex(std::initializer_list<int> bytes)
{
    return std::vector<u8_t>(bytes.begin(), bytes.end());
}

std::vector<u8_t> Cat(std::initializer_list<std::vector<u8_t>> parts)
{
    std::vector<u8_t> all;
    for (const std::vector<u8_t>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<u8_t> kZeros12(12, 0);

// The savegame's bytes as the account file keeps them.
const std::vector<u8_t> kGolden = Cat({
    Hex({0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x40, 0x40}),  // view position
    Hex({0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0xBF}),                          // yaw, pitch
    Hex({3, 0, 0, 0}),                                                              // records
    // The actor: name, kind, position, rotation, its two words.
    Hex({2, 0, 0, 0, 'a', 'l', 2, 0, 0, 0}),
    kZeros12,
    kZeros12,
    Hex({100, 0, 0, 0, 3, 0, 0, 0}),
    // The weapon: name, kind, position (y 1), rotation, byte 33, byte 32, the count, two values, the
    // holder's and the second name with their terminators.
    Hex({3, 0, 0, 0, 'g', 'u', 'n', 4, 0, 0, 0}),
    Hex({0, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0}),
    kZeros12,
    Hex({7, 5, 2, 0x02, 0x01, 0xFF, 0xFF}),
    Hex({3, 0, 0, 0, 'a', 'l', 0}),
    Hex({4, 0, 0, 0, 'g', 'u', 'n', 0}),
    // The projectile: name, kind, position, rotation, the weapon's name, origin, direction, both words.
    Hex({1, 0, 0, 0, 'p', 11, 0, 0, 0}),
    kZeros12,
    kZeros12,
    Hex({4, 0, 0, 0, 'g', 'u', 'n', 0}),
    Hex({0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0}),
    Hex({0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x80, 0xBF}),
    Hex({0x44, 0x33, 0x22, 0x11, 0x55, 0, 0, 0}),
});

// An account holding the savegame for the mission "m".
std::vector<u8_t> RecordWith(const Savegame& savegame)
{
    PlayerAccount account;
    account.name.Assign("k");
    account.GetMissionSavegames("m").AddSavegame(savegame);
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);
    return bytes;
}

size_t Find(const std::vector<u8_t>& bytes, const std::vector<u8_t>& part)
{
    const auto at = std::search(bytes.begin(), bytes.end(), part.begin(), part.end());
    return at == bytes.end() ? std::string::npos : static_cast<size_t>(at - bytes.begin());
}

bool Reads(const std::vector<u8_t>& bytes)
{
    PlayerAccount read;
    return AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size()));
}

TEST(AccountSavegames, EachKindHasItsBytesAndComesBack)
{
    const std::vector<u8_t> bytes = RecordWith(SmallSavegame());
    const size_t at = Find(bytes, kGolden);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes[at - 1], 0) << "the savegame count stands before the savegame";
    EXPECT_EQ(bytes[at - 4], 1);

    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    const Savegame& back = read.modes[0].savegames.at(0).savegames.at(0);
    EXPECT_EQ(back.viewPitch, -1.0f);
    EXPECT_FALSE(back.areasWhole);
    ASSERT_EQ(back.records.size(), 3u);
    // What the file keeps is back where the objects read it; the rest of the areas is zero.
    const Savegame made = SmallSavegame();
    const auto area = [](const SavedObjectState& record, size_t size) {
        return std::vector<u8_t>(record.kindArea, record.kindArea + size);
    };
    EXPECT_EQ(area(back.records[1], 40), area(made.records[1], 40));
    EXPECT_EQ(area(back.records[2], 64), area(made.records[2], 64));
    EXPECT_EQ(area(back.records[0], 8), area(made.records[0], 8));
    EXPECT_EQ(back.records[0].kindArea[8], 0);
}

TEST(AccountSavegames, CountsAndNamesPastTheirFieldsAreRefused)
{
    // 148 values fill the area: written and read back.
    Savegame full = SmallSavegame();
    full.records[1].kindArea[34] = 148;
    std::vector<u8_t> bytes = RecordWith(full);
    ASSERT_TRUE(Reads(bytes));
    // A count the area cannot hold is never written...
    Savegame over = SmallSavegame();
    over.records[1].kindArea[34] = 200;
    bytes = RecordWith(over);
    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    EXPECT_EQ(read.modes[0].savegames[0].savegames[0].records[1].kindArea[34], 148);

    // ...and refused when a file claims it, as are names longer than their fields.
    const std::vector<u8_t> good = RecordWith(SmallSavegame());
    const size_t at = Find(good, kGolden);
    ASSERT_NE(at, std::string::npos);
    const size_t weapon = at + 24 + (4 + 2 + 4 + 24 + 8);
    const size_t count = weapon + 4 + 3 + 4 + 24 + 2;
    const size_t holder = count + 1 + 4;
    const size_t second = holder + 4 + 3;
    const size_t projectileName = second + 4 + 4 + (4 + 1 + 4 + 24);
    ASSERT_EQ(good[count], 2);
    ASSERT_EQ(good[holder], 3);
    ASSERT_EQ(good[second], 4);
    ASSERT_EQ(good[projectileName], 4);
    const struct {
        const char* what;
        size_t at;
        u8_t value;
    } damages[] = {
        {"149 values", count, 149},           {"255 values", count, 255},
        {"a holder of 17 bytes", holder, 17}, {"a holder of no bytes", holder, 0},
        {"a second name of 17", second, 17},  {"a projectile's weapon of 33", projectileName, 33},
    };
    for (const auto& damage : damages) {
        std::vector<u8_t> bad = good;
        bad[damage.at] = damage.value;
        // The bytes stay enough for what the damaged count claims: the field's limit refuses the
        // savegame, and the bytes it leaves over the record.
        bad.insert(bad.end(), 400, 0);
        EXPECT_FALSE(Reads(bad)) << damage.what;
    }
}

// A savegame whose bytes are whole but whose fields are past their limits is refused on its own: the
// account and its other savegames load.
TEST(AccountSavegames, ADamagedSavegameIsRefusedAloneAndTheAccountStays)
{
    PlayerAccount account;
    account.name.Assign("k");
    Savegame second = SmallSavegame();
    second.viewYaw = 0.25f;
    account.GetMissionSavegames("m").AddSavegame(SmallSavegame());
    account.GetMissionSavegames("m").AddSavegame(second);
    std::vector<u8_t> good;
    AccountWriteRecord(account, good);
    const size_t at = Find(good, kGolden);
    ASSERT_NE(at, std::string::npos);
    const size_t firstName = at + 24;
    const size_t weapon = at + 24 + (4 + 2 + 4 + 24 + 8);
    const size_t count = weapon + 4 + 3 + 4 + 24 + 2;
    const size_t holder = count + 1 + 4;
    ASSERT_EQ(good[firstName], 2);
    ASSERT_EQ(good[count], 2);
    ASSERT_EQ(good[holder], 3);
    // Each damage puts a longer field in the place of the written one, with the bytes it claims.
    const struct {
        const char* what;
        size_t at;         // the count
        u8_t value;        // its new value
        size_t oldBytes;   // the field's bytes after the count, replaced
        size_t newBytes;   // by this many
        size_t countSize;  // 4, or 1 for the value count
    } damages[] = {
        {"an object name of 128 bytes", firstName, 128, 2, 128, 4},
        {"149 weapon values", count, 149, 4, 298, 1},
        {"a holder of 17 bytes", holder, 17, 3, 17, 4},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<u8_t> bad = good;
        bad[damage.at] = damage.value;
        const auto field = bad.begin() + static_cast<std::ptrdiff_t>(damage.at + damage.countSize);
        bad.erase(field, field + static_cast<std::ptrdiff_t>(damage.oldBytes));
        bad.insert(bad.begin() + static_cast<std::ptrdiff_t>(damage.at + damage.countSize), damage.newBytes, 'x');
        PlayerAccount read;
        ASSERT_TRUE(AccountReadRecord(read, bad.data(), static_cast<u32_t>(bad.size())));
        const std::vector<Savegame>& kept = read.modes[0].savegames.at(0).savegames;
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].viewYaw, 0.25f);
        EXPECT_STREQ(read.optionNames[28].Text(), "si_musicvolume") << "the record is read to its end";
    }
}

// A child process that saves the account and is killed at one step of the write.
class AccountCrash : public AccountTest {
protected:
    static AtomicWriteStage s_killAt;
    static bool KillHook(AtomicWriteStage stage, const char*)
    {
        if (stage == s_killAt)
            ::raise(SIGKILL);
        return true;
    }
};
AtomicWriteStage AccountCrash::s_killAt = ATOMIC_WRITE_OPENED;

TEST_F(AccountCrash, AKilledSaveLeavesTheOldFileWhole)
{
    ASSERT_EQ(Create("bob"), 0);
    PlayerAccount* bob = AccountFindByName("bob");
    bob->GetMissionSavegames("map_01").AddSavegame(SmallSavegame());
    ASSERT_TRUE(AccountSave(*bob));
    const std::string before = FileOf("bob");
    const std::string leftover = TempPath() + "/accounts/bob.acc" + ATOMIC_WRITE_SUFFIX;
    for (AtomicWriteStage stage : {ATOMIC_WRITE_OPENED, ATOMIC_WRITE_HALF_WRITTEN, ATOMIC_WRITE_BEFORE_RENAME}) {
        SCOPED_TRACE(static_cast<int>(stage));
        s_killAt = stage;
        // The save the child makes holds one savegame more: a torn write would show.
        bob->GetMissionSavegames("map_01").AddSavegame(SmallSavegame());
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetAtomicWriteTestHook(KillHook);
            AccountSave(*bob);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        bob->GetMissionSavegames("map_01").savegames.pop_back();

        EXPECT_EQ(FileOf("bob"), before);
        EXPECT_TRUE(std::filesystem::exists(leftover));
        AccountsShutdown();
        AccountsInit();
        bob = AccountFindByName("bob");
        ASSERT_NE(bob, nullptr);
        EXPECT_EQ(bob->GetMissionSavegames("map_01").savegames.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(leftover)) << "the start removes what the write left";
        EXPECT_EQ(FileOf("bob"), before);
    }
}

class SavegameRobustness : public AccountTest {
protected:
    // A good account beside the one under test; the damaged one loads or is refused with a line
    // naming its file, and stays on disk as it was.
    void LoadBeside(const std::string& damaged)
    {
        const std::string path = TempPath() + "/accounts/damaged.acc";
        WriteFileBytes(path, damaged);
        const size_t logStart = engine_log::LogSize();
        AccountsInit();
        EXPECT_NE(AccountFindByName("good"), nullptr);
        const bool loaded = AccountFindByName("all") != nullptr;
        const bool refused =
            engine_log::LogFrom(logStart).find("account file 'accounts\\damaged.acc' refused") != std::string::npos;
        EXPECT_NE(loaded, refused);
        EXPECT_EQ(ReadFileBytes(path), damaged);
        AccountsShutdown();
    }
};

TEST_F(SavegameRobustness, DamagedSavegameParts)
{
    // Every kind of record, in a file of its own.
    ASSERT_EQ(Create("all"), 0);
    PlayerAccount* all = AccountFindByName("all");
    Savegame savegame = SmallSavegame();
    for (u32_t kind : {3u, 5u, 6u}) {
        savegame.records.emplace_back();
        savegame.records.back().name.Assign(("k" + std::to_string(kind)).c_str());
        savegame.records.back().kind = kind;
    }
    all->GetMissionSavegames("map_01").AddSavegame(savegame);
    all->GetMissionSavegames("map_01").AddSavegame(SmallSavegame());
    ASSERT_TRUE(AccountSave(*all));
    const std::string file = FileOf("all");
    ASSERT_EQ(Create("good"), 0);
    AccountsShutdown();
    std::filesystem::remove(TempPath() + "/accounts/all.acc");

    const size_t start = file.find(std::string(kGolden.begin(), kGolden.begin() + 20));
    ASSERT_NE(start, std::string::npos);
    for (size_t n = start; n < file.size(); ++n)
        LoadBeside(file.substr(0, n));

    // Counts and lengths of the savegame part made large, zero or one off.
    const size_t savegameCount = start - 4;
    const size_t recordCount = start + 20;
    const size_t firstName = start + 24;
    for (const auto& [what, at, value] : std::vector<std::tuple<const char*, size_t, u32_t>>{
             {"savegames 0x7FFFFFFF", savegameCount, 0x7FFFFFFFu},
             {"savegames 3", savegameCount, 3},
             {"records 0xFFFFFFFF", recordCount, 0xFFFFFFFFu},
             {"records 0", recordCount, 0},
             {"records 7", recordCount, 7},
             {"a name of 128", firstName, 128},
             {"a name of 0x80000000", firstName, 0x80000000u},
         }) {
        SCOPED_TRACE(what);
        std::string bad = file;
        for (int i = 0; i < 4; ++i)
            bad[at + i] = static_cast<char>(value >> (8 * i));
        LoadBeside(bad);
    }

    const u32_t seed = EngineRandState();
    EngineSRand(6502);
    for (int round = 0; round < 400; ++round) {
        std::string bytes = file;
        const int edits = 1 + EngineRand() % 6;
        for (int e = 0; e < edits; ++e) {
            const size_t at = start + static_cast<size_t>(EngineRand()) % (bytes.size() - start);
            bytes[at] = static_cast<char>(EngineRand() & 0xFF);
        }
        LoadBeside(bytes);
    }
    EngineSRand(seed);
}

}  // namespace
