#include "game/accounts/account_file.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/strings/finite_number.h"
#include "core/log.h"
#include "core/files/uff_file.h"
#include "game/accounts/campaign_chronology.h"
#include "game/accounts/player_account.h"
#include "platform/file_system.h"

namespace {

constexpr u32_t kStoredModes = 3;
constexpr u32_t kMaxMissionsPerMode = 255;

class VectorWriter : public LittleEndianWrites<VectorWriter> {
public:
    explicit VectorWriter(std::vector<u8_t>& bytes) : out(bytes) {}
    bool WriteBytes(const void* data, size_t count)
    {
        const auto* p = static_cast<const u8_t*>(data);
        out.insert(out.end(), p, p + count);
        return true;
    }
    void Text(const EngineString& text)
    {
        const u32_t n = text.Length() < ACCOUNT_TEXT_MAX ? text.Length() : ACCOUNT_TEXT_MAX;
        WriteU32(n);
        WriteBytes(text.Text(), n);
    }
    // A count that includes the terminating zero, then the text and the zero.
    void ZeroText(const char* field, size_t capacity)
    {
        const size_t length = strnlen(field, capacity - 1);
        WriteU32(static_cast<u32_t>(length + 1));
        WriteBytes(field, length);
        WriteU8(0);
    }
    void Floats(const float* values)
    {
        for (int i = 0; i < 3; ++i)
            WriteF32(values[i]);
    }

private:
    std::vector<u8_t>& out;
};

// Reads with every count checked against the bytes left.
class RecordReader {
public:
    RecordReader(const u8_t* data, u32_t size) : in(data, size) {}
    bool Ok() const { return ok && in.Ok(); }
    bool AtEnd() const { return in.Remaining() == 0; }
    // A field whose bytes are all there but whose value cannot be taken (a savegame's damage): the
    // reader goes on past it, and the savegame holding it is refused on its own.
    void Damage() { damaged = true; }
    bool TakeDamage()
    {
        const bool was = damaged;
        damaged = false;
        return was;
    }
    u32_t U32()
    {
        u32_t value = 0;
        ok = in.ReadU32(value) && ok;
        return value;
    }
    u8_t U8()
    {
        u8_t value = 0;
        ok = in.ReadU8(value) && ok;
        return value;
    }
    // A count of items each at least `itemBytes` long: refused when they cannot all be there.
    u32_t Count(u32_t itemBytes)
    {
        const u32_t n = U32();
        if (itemBytes && n > in.Remaining() / itemBytes)
            ok = false;
        return ok ? n : 0;
    }
    EngineString Text()
    {
        const u32_t n = U32();
        if (n > ACCOUNT_TEXT_MAX || !in.Need(n)) {
            ok = false;
            return EngineString();
        }
        char buffer[ACCOUNT_TEXT_MAX + 1] = {};
        in.ReadBytes(buffer, n);
        return EngineString(buffer);  // up to the first zero byte
    }
    // A savegame's text: one longer than its field is passed over whole and marks the damage.
    EngineString SavedText()
    {
        const u32_t n = U32();
        if (!in.Need(n)) {
            ok = false;
            return EngineString();
        }
        if (n > ACCOUNT_TEXT_MAX) {
            in.Skip(n);
            Damage();
            return EngineString();
        }
        char buffer[ACCOUNT_TEXT_MAX + 1] = {};
        in.ReadBytes(buffer, n);
        return EngineString(buffer);
    }
    void ZeroText(char* field, size_t capacity)
    {
        const u32_t n = U32();
        if (!in.Need(n)) {
            ok = false;
            return;
        }
        if (n == 0 || n > capacity) {
            in.Skip(n);
            Damage();
            return;
        }
        in.ReadBytes(field, n);
        field[n - 1] = '\0';
    }
    void Skip(u32_t count) { ok = in.Skip(count) && ok; }
    void Floats(float* values)
    {
        for (int i = 0; i < 3; ++i)
            ok = in.ReadF32(values[i]) && ok;
    }
    void Bytes(void* out, u32_t count) { ok = in.ReadBytes(out, count) && ok; }
    bool Fail()
    {
        ok = false;
        return false;
    }
    float F32()
    {
        float value = 0.0f;
        ok = in.ReadF32(value) && ok;
        return value;
    }
    u16_t U16()
    {
        u16_t value = 0;
        ok = in.ReadU16(value) && ok;
        return value;
    }

private:
    ByteReader in;
    bool ok = true;
    bool damaged = false;
};

// Where the account file's fields stand in a record's kind area (the objects' own saved layouts).
constexpr u32_t kWeaponHolderAt = 0;
constexpr u32_t kWeaponNameAt = 16;
constexpr u32_t kWeaponNameSize = 16;
constexpr u32_t kWeaponFirstByteAt = 32;
constexpr u32_t kWeaponSecondByteAt = 33;
constexpr u32_t kWeaponCountAt = 34;
constexpr u32_t kWeaponValuesAt = 36;
constexpr u32_t kProjectileOriginAt = 4;
constexpr u32_t kProjectileDirectionAt = 16;
constexpr u32_t kProjectileNameAt = 28;
constexpr u32_t kProjectileNameSize = 32;
constexpr u32_t kProjectileSecondWordAt = 60;
static_assert(kWeaponValuesAt + 2 * SAVEGAME_WEAPON_VALUES_MAX <= SAVED_OBJECT_KIND_AREA_SIZE);

u32_t GetU32(const u8_t* at)
{
    return u32_t(at[0]) | u32_t(at[1]) << 8 | u32_t(at[2]) << 16 | u32_t(at[3]) << 24;
}

void PutU32(u8_t* at, u32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<u8_t>(value >> (8 * i));
}

float GetF32(const u8_t* at)
{
    const u32_t bits = GetU32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void PutF32(u8_t* at, float value)
{
    u32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(at, bits);
}

void WriteVector(VectorWriter& out, const Vector3& v)
{
    out.WriteF32(v.x);
    out.WriteF32(v.y);
    out.WriteF32(v.z);
}

// Saved positions and angles: a value no map holds marks the savegame damaged.
void ReadSavedFloats(RecordReader& in, float* values)
{
    in.Floats(values);
    if (!AllWithinSavedRange(values, 3))
        in.Damage();
}

void ReadVector(RecordReader& in, Vector3& v)
{
    float values[3] = {};
    ReadSavedFloats(in, values);
    v = {values[0], values[1], values[2]};
}

void WriteAreaVector(VectorWriter& out, const u8_t* at)
{
    for (int i = 0; i < 3; ++i)
        out.WriteF32(GetF32(at + 4 * i));
}

void ReadAreaVector(RecordReader& in, u8_t* at)
{
    float values[3] = {};
    ReadSavedFloats(in, values);
    for (int i = 0; i < 3; ++i)
        PutF32(at + 4 * i, values[i]);
}

void WriteObject(VectorWriter& out, const SavedObjectState& record)
{
    const u8_t* area = record.kindArea;
    out.Text(record.name);
    out.WriteU32(record.kind);
    WriteVector(out, record.position);
    WriteVector(out, record.rotation);
    if (record.kind == 2) {
        out.WriteU32(GetU32(area));
        out.WriteU32(GetU32(area + 4));
    } else if (record.kind == 4) {
        // The reader refuses more values than the area holds: never write a file it would refuse.
        const u32_t n =
            area[kWeaponCountAt] < SAVEGAME_WEAPON_VALUES_MAX ? area[kWeaponCountAt] : SAVEGAME_WEAPON_VALUES_MAX;
        out.WriteU8(area[kWeaponSecondByteAt]);
        out.WriteU8(area[kWeaponFirstByteAt]);
        out.WriteU8(static_cast<u8_t>(n));
        for (u32_t i = 0; i < n; ++i)
            out.WriteU16(static_cast<u16_t>(area[kWeaponValuesAt + 2 * i] | area[kWeaponValuesAt + 2 * i + 1] << 8));
        out.ZeroText(reinterpret_cast<const char*>(area + kWeaponHolderAt), kWeaponNameSize);
        out.ZeroText(reinterpret_cast<const char*>(area + kWeaponNameAt), kWeaponNameSize);
    } else if (record.kind == 11) {
        out.ZeroText(reinterpret_cast<const char*>(area + kProjectileNameAt), kProjectileNameSize);
        WriteAreaVector(out, area + kProjectileOriginAt);
        WriteAreaVector(out, area + kProjectileDirectionAt);
        out.WriteU32(GetU32(area));
        out.WriteU32(GetU32(area + kProjectileSecondWordAt));
    }
}

bool ReadObject(RecordReader& in, SavedObjectState& record)
{
    u8_t* area = record.kindArea;
    record.name = in.SavedText();
    record.kind = in.U32();
    ReadVector(in, record.position);
    ReadVector(in, record.rotation);
    if (record.kind == 2) {
        PutU32(area, in.U32());
        PutU32(area + 4, in.U32());
    } else if (record.kind == 4) {
        area[kWeaponSecondByteAt] = in.U8();
        area[kWeaponFirstByteAt] = in.U8();
        u8_t n = in.U8();
        // More values than the area holds would run past it: they are passed over.
        if (n > SAVEGAME_WEAPON_VALUES_MAX) {
            in.Skip(2u * n);
            in.Damage();
            n = 0;
        }
        area[kWeaponCountAt] = n;
        for (u8_t i = 0; i < n && in.Ok(); ++i) {
            const u16_t value = in.U16();
            area[kWeaponValuesAt + 2 * i] = static_cast<u8_t>(value);
            area[kWeaponValuesAt + 2 * i + 1] = static_cast<u8_t>(value >> 8);
        }
        in.ZeroText(reinterpret_cast<char*>(area + kWeaponHolderAt), kWeaponNameSize);
        in.ZeroText(reinterpret_cast<char*>(area + kWeaponNameAt), kWeaponNameSize);
    } else if (record.kind == 11) {
        in.ZeroText(reinterpret_cast<char*>(area + kProjectileNameAt), kProjectileNameSize);
        ReadAreaVector(in, area + kProjectileOriginAt);
        ReadAreaVector(in, area + kProjectileDirectionAt);
        PutU32(area, in.U32());
        PutU32(area + kProjectileSecondWordAt, in.U32());
    }
    return in.Ok();
}

// Sets the single-player mode for a scope and puts the old one back.
struct ModeScope {
    s32_t saved = SinglePlayerMode();
    ~ModeScope() { SetSinglePlayerMode(saved); }
};

}  // namespace

std::string AccountFilePath(const char* name)
{
    return std::string("accounts\\") + (name ? name : "") + ".acc";
}

std::string AccountFileOf(const PlayerAccount& account)
{
    return account.fileName.IsEmpty() ? AccountFilePath(account.name.Text()) : std::string(account.fileName.Text());
}

void AccountWriteRecord(PlayerAccount& account, std::vector<u8_t>& bytes)
{
    VectorWriter out(bytes);
    out.Text(account.name);
    out.Text(account.playerName);
    out.Text(account.password);
    out.Text(account.language);
    out.WriteU32(kStoredModes);
    for (const AccountModeProgress& mode : account.modes) {
        out.WriteU32(static_cast<u32_t>(mode.completedCampaigns.size()));
        for (const EngineString& campaign : mode.completedCampaigns)
            out.Text(campaign);
        out.WriteU32(static_cast<u32_t>(mode.completedMissions.size()));
        for (const EngineString& mission : mode.completedMissions)
            out.Text(mission);
    }
    out.WriteBytes(account.keyBindings, ACCOUNT_BINDING_COUNT);
    for (const EngineString& message : account.globalMessages)
        out.Text(message);
    for (const EngineString& message : account.teamMessages)
        out.Text(message);
    out.Text(account.leaderMessage);
    out.Text(account.picture);
    out.WriteU32(static_cast<u32_t>(account.gameModLists.size()));
    for (const GameModStringList& list : account.gameModLists) {
        out.Text(list.gameMod);
        out.WriteU32(static_cast<u32_t>(list.strings.size()));
        for (const EngineString& text : list.strings)
            out.Text(text);
    }
    ModeScope mode;
    for (s32_t m = 0; m < ACCOUNT_MODE_SLOTS; ++m) {
        SetSinglePlayerMode(m);
        const std::vector<MissionSavegames>& missions = account.modes[m].savegames;
        // The count is one byte: a mode keeps its first 255 missions in the file.
        const u32_t count =
            missions.size() < kMaxMissionsPerMode ? static_cast<u32_t>(missions.size()) : kMaxMissionsPerMode;
        out.WriteU8(static_cast<u8_t>(count));
        for (u32_t i = 0; i < count; ++i) {
            out.Text(missions[i].mission);
            out.WriteU32(static_cast<u32_t>(missions[i].savegames.size()));
            for (const Savegame& savegame : missions[i].savegames) {
                out.Floats(savegame.viewPosition);
                out.WriteF32(savegame.viewYaw);
                out.WriteF32(savegame.viewPitch);
                out.WriteU32(static_cast<u32_t>(savegame.records.size()));
                for (const SavedObjectState& record : savegame.records)
                    WriteObject(out, record);
            }
        }
    }
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        out.Text(account.optionNames[i]);
        out.Text(account.optionValues[i]);
    }
}

bool AccountReadRecord(PlayerAccount& account, const u8_t* data, u32_t size)
{
    RecordReader in(data, size);
    account.name = in.Text();
    account.playerName = in.Text();
    account.password = in.Text();
    account.language = in.Text();
    const u32_t modeCount = in.U32();
    if (!in.Ok() || modeCount > kStoredModes)
        return false;
    ModeScope mode;
    for (u32_t m = 0; m < modeCount && in.Ok(); ++m) {
        SetSinglePlayerMode(static_cast<s32_t>(m));
        for (u32_t n = in.Count(4), i = 0; i < n && in.Ok(); ++i)
            account.AddCompletedCampaign(in.Text().Text());
        for (u32_t n = in.Count(4), i = 0; i < n && in.Ok(); ++i)
            account.AddCompletedMission(in.Text().Text());
    }
    in.Bytes(account.keyBindings, ACCOUNT_BINDING_COUNT);
    for (EngineString& message : account.globalMessages)
        message = in.Text();
    for (EngineString& message : account.teamMessages)
        message = in.Text();
    account.leaderMessage = in.Text();
    account.picture = in.Text();
    for (u32_t lists = in.Count(8), i = 0; i < lists && in.Ok(); ++i) {
        GameModStringList list;
        list.gameMod = in.Text();
        for (u32_t n = in.Count(4), j = 0; j < n && in.Ok(); ++j)
            list.strings.push_back(in.Text());
        account.gameModLists.push_back(std::move(list));
    }
    // Savegames whose bytes are whole but whose values are not: the mission's name and the number.
    std::vector<std::pair<EngineString, u32_t>> refused;
    for (u32_t m = 0; m < modeCount && in.Ok(); ++m) {
        SetSinglePlayerMode(static_cast<s32_t>(m));
        const u8_t missions = in.U8();
        for (u8_t i = 0; i < missions && in.Ok(); ++i) {
            const EngineString name = in.Text();
            MissionSavegames& entry = account.GetMissionSavegames(name.Text());
            // A savegame has at least its five header words and its object count.
            for (u32_t n = in.Count(24), s = 0; s < n && in.Ok(); ++s) {
                Savegame savegame;
                in.TakeDamage();
                ReadSavedFloats(in, savegame.viewPosition);
                float angles[2] = {in.F32(), in.F32()};
                if (!AllWithinSavedRange(angles, 2))
                    in.Damage();
                savegame.viewYaw = angles[0];
                savegame.viewPitch = angles[1];
                // An object has at least its name count, kind and two vectors.
                const u32_t objects = in.Count(32);
                savegame.records.resize(objects);
                for (u32_t o = 0; o < objects && in.Ok(); ++o)
                    ReadObject(in, savegame.records[o]);
                // A savegame whose bytes are whole but whose values are not is refused alone: the
                // account and its other savegames stay.
                if (in.TakeDamage() && in.Ok()) {
                    refused.push_back({name, s + 1});
                    continue;
                }
                savegame.valid = 1;
                savegame.areasWhole = false;
                entry.AddSavegame(std::move(savegame));
            }
        }
    }
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        account.optionNames[i] = in.Text();
        account.optionValues[i] = in.Text();
    }
    // The record fills its entry: bytes left over mean a count that lied, and what was read after
    // it cannot be trusted.
    if (!in.Ok() || !in.AtEnd())
        return false;
    for (const auto& [mission, number] : refused)
        Log("WARNING: savegame %u of mission '%s' in account '%s' refused\n", static_cast<unsigned>(number),
            mission.Text(), account.name.Text());
    return true;
}

bool AccountReadFile(PlayerAccount& account, UffFile& file)
{
    if (!file.IsOpen() || file.EntryCount() < 1)
        return false;
    // The record stands at the first entry's data position: "account" is empty and its child,
    // which holds the record, starts at the same offset.
    s32_t entry = 0;
    if (file.GetEntrySize(entry) == 0 && file.GetFirstChild(entry) >= 0)
        entry = file.GetFirstChild(entry);
    u32_t size = 0;
    u8_t* data = file.ReadWholeEntry(entry, size);
    if (!data)
        return false;
    const bool ok = AccountReadRecord(account, data, size);
    delete[] data;
    return ok;
}

namespace {

// A write that did not happen is said where the player and the log see it: the account in memory
// holds what the file does not.
bool ReportUnwritten(const std::string& path)
{
    ConPrint(0, "ERROR : account file '%s' could not be written\n", path.c_str());
    Log("ERROR : account file '%s' could not be written\n", path.c_str());
    return false;
}

}  // namespace

bool AccountSave(PlayerAccount& account)
{
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        if (const ConsoleVar* cvar = FindCVar(account.optionNames[i].Text()))
            account.optionValues[i].Assign(cvar->ValueToText());
    }
    const std::string path = AccountFileOf(account);
    if (!AccountNameIsSafe(account.name.Text()))
        return ReportUnwritten(path);
    PlatformCreateDirectories("accounts");
    std::vector<u8_t> record;
    AccountWriteRecord(account, record);
    char* bytes = nullptr;
    std::size_t size = 0;
    bool written = false;
    {
        UffWriter writer(PlatformOpenMemoryStream(&bytes, &size));
        if (writer.IsOpen()) {
            const s32_t top = writer.BeginEntry("account", -1);
            writer.EndEntry();
            writer.BeginEntry(account.name.Text(), top);
            writer.Write(record.data(), static_cast<u32_t>(record.size()));
            writer.EndEntry();
            written = writer.Finish();
        }
    }
    // The old file is replaced only by a whole new one.
    written = written && PlatformWriteFileAtomically(path.c_str(), bytes, size);
    std::free(bytes);
    return written || ReportUnwritten(path);
}
