// Damaged weapon definitions and mission weapon files read through the weapon list: named damages and
// fixed-seed mutation rounds of each file, the list rebuilt, stepped and drawn each time. Nothing may
// read past a value or step outside the entries.
#include <gtest/gtest.h>

#include <string>

#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "gui/lists/gui_weapon_list.h"
#include "support/text_mutation.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

const char* const kRifle =
    "# a rifle\nweapon rifle\ntype PRIMARY\nsubweapon launcher\nguiimage rifle\nguiinfo rifle_info\n";
const char* const kLauncher = "weapon launcher\ntype PRIMARY\nguiimage launcher\nsubweapon rifle\n";
const char* const kMission = "primary rifle launcher\nsecondary pistol\nexplosive\nsetprimary rifle\n";

class WeaponListRobustness : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        m_map = dsmap.String();
        dsmap.SetString("testmap");
        GuiScreen* screen = Build("<BRIEFING>\n<WEAPONLIST> property coord 0 0 1 1; </WEAPONLIST>\n</BRIEFING>\n");
        m_list = ControlAt<GuiWeaponList>(screen, 0);
        ASSERT_NE(m_list, nullptr);
    }
    void TearDown() override
    {
        dsmap.SetString(m_map.c_str());
        ControlScreenTest::TearDown();
    }
    // Writes the three files and puts the list through a rebuild, steps and a draw.
    void Exercise(const std::string& rifle, const std::string& launcher, const std::string& mission)
    {
        ASSERT_TRUE(WriteFileBytes("object/weapons/rifle.def", rifle));
        ASSERT_TRUE(WriteFileBytes("object/weapons/launcher.def", launcher));
        ASSERT_TRUE(WriteFileBytes("mission/testmap/mission.wpn", mission));
        DefFileFreeAll();
        m_list->OnActivate(g_gui.currentScreen);
        ASSERT_LE(m_list->Count(), 2u);
        for (int step = 0; step < 3; ++step)
            m_list->OnIncrement();
        m_list->OnDecrement();
        if (m_list->Count() > 0) {
            ASSERT_LT(m_list->selected, m_list->Count());
        }
        m_list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    }

    GuiWeaponList* m_list = nullptr;

private:
    std::string m_map;
};

TEST_F(WeaponListRobustness, NamedDamagesOfEachFile)
{
    Exercise(kRifle, kLauncher, kMission);
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        Exercise(damage.make(kRifle), kLauncher, kMission);
        Exercise(kRifle, damage.make(kLauncher), kMission);
        Exercise(kRifle, kLauncher, damage.make(kMission));
    }
    // Keys without values, values without keys, and a category listing itself over and over.
    Exercise("weapon\ntype\nsubweapon\nguiimage\n", "type PRIMARY\n", "primary\n");
    Exercise(kRifle, kLauncher, "primary" + std::string(4000, ' ') + std::string(3000, 'r') + "\n");
    std::string many = "primary";
    for (int i = 0; i < 300; ++i)
        many += " rifle launcher";
    Exercise(kRifle, kLauncher, many + "\n");
}

TEST_F(WeaponListRobustness, MutationRounds)
{
    EngineSRand(6301);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        Exercise(test_support::MutateText(kRifle), test_support::MutateText(kLauncher),
                 test_support::MutateText(kMission));
    }
}

}  // namespace
