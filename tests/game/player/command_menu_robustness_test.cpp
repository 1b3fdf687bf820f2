// Damaged "menu" scripts: short and odd commands, more items than the table has slots, and a
// fixed-seed mutation loop of a whole script; each is built, walked with AddCMItem, selections, back
// and reset, and freed, with nothing read outside the table.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ai/envelopes/envelope.h"
#include "ai/script/script_object.h"
#include "core/console/console.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "game/player/command_menu.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/text_mutation.h"

namespace {

const char* const kScript =
    "<assign>\n"
    "  HOLD Wait DOEnvelope:Hold;\n"
    "  MOVE Go DOEnvelope:MoveTo DESTINATION_SELECTED;\n"
    "  ATTACK Fire DOEnvelope:LockTarget ENEMY_SELECTED;\n"
    "  ORDERS Orders void;\n"
    "  ENGAGE Engage DOEnvelope:LockTargetOrMoveTo enemy_or_pt_selected;\n"
    "</assign>\n"
    "<prop>\n  font gui;\n  font_size 12;\n  color FFFFFFFF;\n  color_grayed 80808080;\n"
    "  x 0.1;\n  y 0.2;\n  hx 0.3;\n  hy 0.4;\n</prop>\n";

class CommandMenuRobustness : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ScriptClassRegistry::Create();
        ScriptTablesCreate();
        ScriptFunctionTable::Clear();
        ConStartup();
        m_envelope = std::make_unique<DOEnvelope>();
    }
    void TearDown() override
    {
        InteractFree();
        m_envelope.reset();
        DestroyScriptCache();
        ConShutdown();
        ScriptFunctionTable::Clear();
        ScriptTablesDestroy();
        ScriptClassRegistry::Clear();
        TempDirTest::TearDown();
    }

    // Builds the menu from the text and walks it; every index the walk uses is within the table.
    static void BuildAndWalk(const std::string& text)
    {
        WriteFileBytes("script/menu.scr", text);
        DestroyScriptCache();
        CreateScriptCache();
        // A mission's start empties the function table before the menu registers again.
        ScriptFunctionTable::Clear();
        InteractInit();
        ASSERT_GE(g_commandMenu.staticCount, 1);
        ASSERT_LE(g_commandMenu.staticCount, CM_ITEM_SLOTS);
        for (s32_t slot = 0; slot < CM_ITEM_SLOTS; ++slot)
            ASSERT_NE(g_commandMenu.slots[slot], nullptr) << slot;
        const ScriptFunctionEntry* add = ScriptFunctionTable::Find("AddCMItem");
        ASSERT_NE(add, nullptr);
        for (s32_t parent : {-2147483647 - 1, -1, 0, 1, 3, 1023, 1024, 2147483647}) {
            for (s32_t child : {-1, 0, 2, 4, 1024}) {
                ScriptArgWord words[2] = {&parent, &child};
                add->function(words);
            }
        }
        add->function(nullptr);
        CommandMenuOpenSquad();
        for (s32_t i : {-1, 0, 1, 2, 5, 1000}) {
            CommandMenuSelect(i);
            CommandMenuBack();
            CommandMenuSetSelectionMode(i);
            InteractExecuteItem(i, nullptr);
        }
        CommandMenuResetDynamic();
        CommandMenuClearStaticChildren();
        InteractFree();
    }

    std::unique_ptr<DOEnvelope> m_envelope;
};

TEST_F(CommandMenuRobustness, ShortAndOddCommands)
{
    for (const char* text :
         {"", "<assign>\n</assign>\n", "<assign>\n;\n</assign>\n", "<assign>\n  A;\n  B b;\n</assign>\n",
          "<assign>\n  A a :;\n  B b ::;\n  C c DOEnvelope:;\n  D d :Hold;\n  E e DOEnvelope::Hold;\n"
          "  F f DOEnvelope:Hold UNKNOWN_MODE extra words;\n</assign>\n",
          "<assign>\n  ROOT again void;\n  ROOT twice void;\n</assign>\n",
          "<prop>\n  font;\n  font_size;\n  color zz;\n  x;\n  y 1e40;\n  hx nan;\n  hy -inf;\n</prop>\n",
          "<assign>\n  HOLD Wait DOEnvelope:Hold", "<prop>\n  color"}) {
        SCOPED_TRACE(text);
        BuildAndWalk(text);
    }
}

TEST_F(CommandMenuRobustness, MoreItemsThanTheTableHasSlots)
{
    std::string text = "<assign>\n";
    for (int i = 0; i < 1100; ++i)
        text += "  ITEM" + std::to_string(i) + " Item DOEnvelope:Hold;\n";
    text += "</assign>\n";
    BuildAndWalk(text);
    InteractInit();
    EXPECT_EQ(g_commandMenu.staticCount, CM_ITEM_SLOTS);
}

TEST_F(CommandMenuRobustness, MutatedScriptWithAFixedSeed)
{
    EngineSRand(6604);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        BuildAndWalk(test_support::MutateText(kScript));
    }
}

}  // namespace
