// Numbers that are not numbers: "nan", "inf", "-inf" and values past a float's range, given to every
// reader of user data. Each refuses them as it refuses other bad values: a console variable keeps
// its value, a definition number reads 0, an object list line and a camera property line are
// refused with their reader's line, a savegame is refused on its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"
#include "core/strings/finite_number.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "game/accounts/account_file.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/game_test_hooks.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "game/accounts/player_account.h"
#include "map/registry/world_registry.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "world/objects/dynamic_object.h"

namespace {

// A placed object that keeps every parameter line it takes.
struct Keeper : DynamicObject {
    std::vector<std::string> taken;
    bool SetParam(const char* key, const EngineString* values, int count) override
    {
        std::string line = key;
        for (int i = 0; i < count; ++i)
            line += std::string(" ") + values[i].Text();
        taken.push_back(line);
        return true;
    }
    const char* GetObjectFolder() const override { return "object\\"; }
};

DynamicObject* MakeKeeper(const char* classKeyword)
{
    return CompareNoCase(classKeyword, "keeper") == 0 ? new Keeper : nullptr;
}

ConsoleVar g_testFloat("nf_test_float", CVAR_FLOAT, "2.5");
ConsoleVar g_testVector("nf_test_vector", CVAR_VECTOR, "(1,2,3)");

class NonFiniteNumberRobustness : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();
        TempDirTest::SetUp();
        ConStartup();
        CreateScriptCache();
        GameTestHooks hooks;
        hooks.createObject = MakeKeeper;
        GameSetTestHooks(hooks);
        m_cameraWalk = g_cameraPoseSettings[CAMERA_POSE_WALK];
    }
    void TearDown() override
    {
        g_cameraPoseSettings[CAMERA_POSE_WALK] = m_cameraWalk;
        DynObjectsDeleteAll();
        GameObjectListReset();
        GameSetTestHooks({});
        DefFileFreeAll();
        DestroyScriptCache();
        ConShutdown();
        VFSShutdown();
        g_testFloat.SetFromText("2.5");
        g_testVector.SetFromText("(1,2,3)");
        TempDirTest::TearDown();
    }

    CameraPoseSettings m_cameraWalk = {};
};

// Runs an object list; the lines it printed on console 0 without their colour and line end.
std::vector<std::string> RunList(const std::string& text)
{
    WriteFileBytes("list.def", text);
    DefFileFreeAll();
    ConClear(0);
    GameLoadObjectList(DefFileLoad("list.def"), nullptr, 0, nullptr);
    std::vector<std::string> lines;
    for (const std::string& line : engine_log::ConsoleLines(0))
        lines.push_back(line.substr(2, line.size() - 3));
    return lines;
}

Keeper* Created()
{
    return static_cast<Keeper*>(DynObjectFind("a"));
}

// A savegame with the value at one of its positions, read back from an account record: the
// account reads, the savegame is gone and the log says so.
void ExpectSavegameRefused(float value, int where)
{
    PlayerAccount account;
    account.name.Assign("k");
    Savegame savegame;
    savegame.records.resize(1);
    savegame.records[0].name.Assign("al");
    savegame.records[0].kind = 2;
    if (where == 0)
        savegame.viewPosition[1] = value;
    else if (where == 1)
        savegame.viewYaw = value;
    else
        savegame.records[0].position.z = value;
    account.GetMissionSavegames("m").AddSavegame(savegame);
    account.GetMissionSavegames("m").AddSavegame(Savegame());
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);
    const size_t logStart = engine_log::LogSize();
    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    ASSERT_EQ(read.modes[0].savegames.size(), 1u);
    EXPECT_EQ(read.modes[0].savegames[0].savegames.size(), 1u) << "the good savegame stays";
    EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: savegame 1 of mission 'm' in account 'k' refused\n"),
              std::string::npos);
}

TEST_F(NonFiniteNumberRobustness, EveryReaderOfUserDataRefusesThem)
{
    struct Reader {
        const char* what;
        void (*read)(const std::string& number);
    };
    const Reader readers[] = {
        {"a float console variable keeps its value",
         [](const std::string& number) {
             const size_t logStart = engine_log::LogSize();
             ConExec(("nf_test_float " + number).c_str(), true);
             EXPECT_EQ(g_testFloat.Float(), 2.5f);
             EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: 'nf_test_float' takes finite numbers, not '" +
                                                          number + "'\n"),
                       std::string::npos);
         }},
        {"a vector console variable keeps its value",
         [](const std::string& number) {
             g_testVector.SetFromText(("(4," + number + ",6)").c_str());
             EXPECT_STREQ(g_testVector.ValueToText(), "(1, 2, 3)");
         }},
        {"a definition number reads 0",
         [](const std::string& number) { EXPECT_EQ(EngineString(number.c_str()).ToFloat(), 0.0f); }},
        {"an object list's parameter line is refused",
         [](const std::string& number) {
             EXPECT_EQ(RunList("create keeper a\npos root " + number + " 1 2\nsize 4\n"),
                       std::vector<std::string>{"list.def:2 X Invalid command"});
             ASSERT_NE(Created(), nullptr);
             EXPECT_EQ(Created()->taken, std::vector<std::string>{"size 4"});
             DynObjectsDeleteAll();
         }},
        {"an object list's loddist is refused",
         [](const std::string& number) {
             EXPECT_EQ(RunList("create keeper a\nloddist 1 " + number + " 3\n"),
                       std::vector<std::string>{"list.def:2 X Invalid command"});
             ASSERT_NE(Created(), nullptr);
             EXPECT_EQ(Created()->hasOwnLodDistances, 0);
             DynObjectsDeleteAll();
         }},
        {"a camera property keeps the pair it had",
         [](const std::string& number) {
             g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[0] = 7.0f;
             g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[1] = 8.0f;
             WriteFileBytes("script/camera.scr",
                            "<WALK>\n  property float " + number + " 2.5;\n  property roll 1 2;\n</WALK>\n");
             DestroyScriptCache();
             CreateScriptCache();
             const size_t logStart = engine_log::LogSize();
             CameraPoseSettingsLoad();
             EXPECT_EQ(g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[0], 7.0f);
             EXPECT_EQ(g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[1], 8.0f);
             EXPECT_EQ(g_cameraPoseSettings[CAMERA_POSE_WALK].roll[1], 2.0f) << "the next line is read";
             EXPECT_NE(
                 engine_log::LogFrom(logStart).find("WARNING: camera property 'float " + number + " 2.5' refused"),
                 std::string::npos);
         }},
        {"a savegame's view position, angle or object position refuses that savegame",
         [](const std::string& number) {
             const float value = static_cast<float>(std::strtod(number.c_str(), nullptr));
             for (int where = 0; where < 3; ++where)
                 ExpectSavegameRefused(value, where);
         }},
    };
    for (const Reader& reader : readers) {
        for (const char* number : {"nan", "inf", "-inf", "1e39", "-NaN", "Infinity"}) {
            SCOPED_TRACE(std::string(reader.what) + ": " + number);
            reader.read(number);
        }
    }
    // A savegame position finite as a float but beyond any map.
    ExpectSavegameRefused(1e38f, 0);
    ExpectSavegameRefused(-1e38f, 2);
}

// Words that only begin like a non-finite number are names, not numbers.
TEST(NonFiniteNumbers, WordsThatOnlyBeginLikeOneAreNoNumber)
{
    for (const char* word : {"infantry", "nanny", "1.5", "", "x", "1e30"})
        EXPECT_FALSE(IsNonFiniteNumber(word)) << word;
    for (const char* word : {"nan", " -inf ", "1e39", "INF", "nan(1)"})
        EXPECT_TRUE(IsNonFiniteNumber(word)) << word;
}

}  // namespace
