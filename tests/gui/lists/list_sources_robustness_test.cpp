// The game-mode mission list reads every mission folder's "netmodes.def": damaged files, by hand and
// by a fixed-seed mutation loop, leave the list whole; a damaged file lists its mission or not, the
// intact one beside it always.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "gui/lists/gui_list_box.h"
#include "support/text_mutation.h"
#include "support/vfs_fixture.h"

namespace {

const std::string kModes = "first coop\nsecond deathmatch 12 0.5\n// a comment\nthird \"team play\" 4\n";

class ListSourcesRobustness : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        m_seed = EngineRandState();
        m_mode = CVarListFind("gs_curmod");
        if (!m_mode) {
            m_ownMode = std::make_unique<ConsoleVar>("gs_curmod", CVAR_STRING, "");
            m_mode = m_ownMode.get();
        }
        m_kept = m_mode->String();
        m_mode->SetString("coop");
        ASSERT_TRUE(WriteFileBytes("mission/intact/netmodes.def", kModes));
    }
    void TearDown() override
    {
        m_mode->SetString(m_kept.c_str());
        EngineSRand(m_seed);
        DefFileFreeAll();
        VfsTest::TearDown();
    }
    // Lists the missions with the damaged file in a mission folder of its own.
    void ListWith(const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes("mission/damaged/netmodes.def", bytes));
        DefFileFreeAll();
        GuiListBox list;
        list.SetSource("mpmap_list");
        list.RefreshData();
        ASSERT_GE(list.ItemCount(), 1u);
        ASSERT_LE(list.ItemCount(), 2u);
        bool intactListed = false;
        for (u32_t i = 0; i < list.ItemCount(); ++i)
            intactListed = intactListed || std::string(list.ItemText(i)) == "intact";
        EXPECT_TRUE(intactListed);
    }

private:
    ConsoleVar* m_mode = nullptr;
    std::unique_ptr<ConsoleVar> m_ownMode;
    std::string m_kept;
    u32_t m_seed = 0;
};

TEST_F(ListSourcesRobustness, DamagedModeFiles)
{
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        ListWith(damage.make(kModes));
    }
}

TEST_F(ListSourcesRobustness, MutatedModeFilesWithAFixedSeed)
{
    EngineSRand(6212);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ListWith(test_support::MutateText(kModes));
    }
}

}  // namespace
