// The global functions that rule scripts call by name: their table, the random numbers, the enemy
// count, the console print and the game message.
#include <gtest/gtest.h>

#include <string>

#include "ai/script/global_functions.h"
#include "ai/script/script_functions.h"
#include "core/console/console.h"
#include "core/random.h"
#include "tests/ai/ai_mission_fixture.h"

namespace {

// The generator state whose next draw is r (0 .. 32767): the state after the draw is r << 16.
u32_t SeedGiving(int r)
{
    u32_t inverse = 214013u;  // the multiplier's inverse modulo 2^32, by Newton's steps
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    return ((static_cast<u32_t>(r) << 16) - 2531011u) * inverse;
}

std::string Newest(int console)
{
    const char* line = ConLines(console)[ConLineCapacity(console) - 1];
    return line ? line : "<empty>";
}

class GlobalFunctions : public AIMission {
protected:
    void SetUp() override
    {
        AIMission::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        ConShutdown();
        AIMission::TearDown();
    }
    static void Call(const char* name, ScriptArgWord* args)
    {
        const ScriptFunctionEntry* entry = ScriptFunctionTable::Find(name);
        ASSERT_NE(entry, nullptr) << name;
        entry->function(args);
    }
};

TEST_F(GlobalFunctions, StartUpRegistersTheTwentyInOrderWithTheirCodes)
{
    const struct {
        const char* name;
        s32_t code;
    } expected[] = {
        {"ConPrint", 1},
        {"RandBool", 2},
        {"RandInt", 3},
        {"RandFloat", 4},
        {"GameMessage", 1},
        {"AllEnemiesDead", 2},
        {"GuiClearObjectives", 1},
        {"GuiAddObjective", 1},
        {"Gui_AddRecord", 1},
        {"Gui_AddResponse", 1},
        {"AccomplishMission", 1},
        {"FailMission", 1},
        {"IsPlayerDead", 2},
        {"CompleteObjective", 1},
        {"GetObjective", 2},
        {"LinkCamera", 1},
        {"UnlinkCamera", 1},
        {"GetPlayerMovementMode", 3},
        {"SwitchToExternalCamera", 1},
        {"SwitchFromExternalCamera", 1},
    };
    ASSERT_EQ(ScriptFunctionTable::Count(), 20);
    const ScriptFunctionEntry* first = ScriptFunctionTable::Find("ConPrint");
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(expected[i].name);
        const ScriptFunctionEntry* entry = ScriptFunctionTable::Find(expected[i].name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry - first, i);
        EXPECT_EQ(entry->returnType, expected[i].code);
    }
}

TEST_F(GlobalFunctions, RandIntReachesNOnlyOnTheLargestDraw)
{
    const struct {
        int draw;
        s32_t n;
        s32_t result;
    } cases[] = {
        {32767, 0, 0},
        {0, 0, 0},
        {32767, 10, 10},
        {32766, 10, 9},
        {16384, 10, 5},
        {0, 10, 0},
        // The product wraps in 32 bits as it always did.
        {32767, 100000, (static_cast<s32_t>(32767u * 100000u)) / 32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "draw " << c.draw << " n " << c.n);
        EngineSRand(SeedGiving(c.draw));
        s32_t n = c.n;
        ScriptArgWord args[2] = {&n, nullptr};
        Call("RandInt", args);
        EXPECT_EQ(g_scriptResult.asInt, c.result);
    }
    EngineSRand(SeedGiving(32767));
    float x = 2.0f;
    ScriptArgWord args[2] = {&x, nullptr};
    Call("RandFloat", args);
    EXPECT_FLOAT_EQ(g_scriptResult.asFloat, 2.0f);
    EngineSRand(SeedGiving(3));
    Call("RandBool", nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
}

TEST_F(GlobalFunctions, AllEnemiesDeadCountsSoldiersOutOfPlay)
{
    AIInterface* player = Soldier("player", 0.0f, 3);
    g_frameView.player = player->body;
    Soldier("friend", 50.0f, 3);
    g_scriptResult.asBool = 0;
    Call("AllEnemiesDead", nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1) << "no enemy in the mission";

    AIInterface* enemy = Soldier("enemy", 100.0f, 2);
    enemy->outOfPlay = 1;
    Call("AllEnemiesDead", nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0) << "a living enemy out of play still counts";

    enemy->body->isDead = true;
    Call("AllEnemiesDead", nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
}

TEST_F(GlobalFunctions, ConPrintTakesTheFiveConsolesAndCutsLongTexts)
{
    s32_t console = 1;
    Call("ConPrint", nullptr);
    ScriptArgWord onlyConsole[2] = {&console, nullptr};
    Call("ConPrint", onlyConsole);
    EXPECT_EQ(Newest(1), "<empty>") << "nothing without the text";

    const std::string longText(600, 'x');
    ScriptArgWord args[3] = {&console, const_cast<char*>(longText.c_str()), nullptr};
    Call("ConPrint", args);
    EXPECT_EQ(Newest(1), std::string(510, 'x') + "\n");

    char shortText[] = "ready";
    args[1] = shortText;
    for (s32_t outside : {7, 5, -1}) {
        console = outside;
        Call("ConPrint", args);
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(Newest(i), "ready\n") << i;
    console = 4;
    Call("ConPrint", args);
    EXPECT_EQ(Newest(4), "ready\n");
}

TEST_F(GlobalFunctions, GameMessageNeedsBothArguments)
{
    char sender[] = "alpha";
    char key[] = "messages.none";
    ScriptArgWord one[2] = {sender, nullptr};
    Call("GameMessage", one);
    EXPECT_EQ(Newest(CON_MESSAGE_CONSOLE), "<empty>");
    ScriptArgWord two[3] = {sender, key, nullptr};
    Call("GameMessage", two);
    EXPECT_NE(Newest(CON_MESSAGE_CONSOLE).find("alpha: "), std::string::npos);
}

}  // namespace
