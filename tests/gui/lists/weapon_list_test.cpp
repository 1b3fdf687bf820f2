// Weapon and net actor lists over small fixtures of definition files in the working folder: which
// weapons the mission's weapon file offers, subweapons hidden, stepping, the current weapon
// preselected, gx_updateweaponinfo run with the list, and the net actor list's classes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "game/game_cvars.h"
#include "gui/controls/gui_edit_box.h"
#include "gui/lists/gui_net_actor_list.h"
#include "gui/lists/gui_weapon_list.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

ConsoleVar g_weaponChoice("gui_test_weapon_choice", CVAR_STRING, "");

// An uncompressed 32-bit TGA of one colour, rows from the top.
std::string SolidTga(int width, int height, DWORD argb)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < width * height; ++i) {
        for (int shift : {0, 8, 16, 24})
            bytes += static_cast<char>((argb >> shift) & 0xFF);
    }
    return bytes;
}

class WeaponLists : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        m_map = dsmap.String();
        m_primary = gs_curprimaryweapon.String();
        dsmap.SetString("testmap");
        gs_curprimaryweapon.SetString("");
        g_weaponChoice.SetString("");
        ASSERT_TRUE(WriteFileBytes("component/gui/red.tga", SolidTga(4, 4, 0xFFFF0000u)));
        ASSERT_TRUE(WriteFileBytes("component/gui/blue.tga", SolidTga(4, 4, 0xFF0000FFu)));
    }
    void TearDown() override
    {
        dsmap.SetString(m_map.c_str());
        gs_curprimaryweapon.SetString(m_primary.c_str());
        ControlScreenTest::TearDown();
    }
    static void Weapon(const std::string& file, const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes("object/weapons/" + file, text));
    }
    static void MissionWeapons(const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes("mission/testmap/mission.wpn", text));
    }
    void Arsenal()
    {
        Weapon("rifle.def", "weapon rifle\ntype PRIMARY\nsubweapon LAUNCHER\nguiimage red\nguiinfo rifle_info\n");
        Weapon("launcher.def", "weapon launcher\ntype PRIMARY\nguiimage red\nguiinfo launcher_info\n");
        Weapon("smg_file.def", "weapon smg\ntype PRIMARY\nguiimage blue\nguiinfo smg_info\n");
        Weapon("pistol.def", "weapon pistol\ntype SECONDARY\nguiimage red\n");
        Weapon("lower.def", "weapon lower\ntype primary\nguiimage red\n");
        Weapon("stray.def", "weapon stray\n");
        MissionWeapons("primary rifle launcher SMG pistol lower stray\nsecondary pistol\n");
    }
    // A list of the kind and category with the selection variable and command, and the two weapons'
    // information fields.
    GuiWeaponList* List(const char* kind, int filter)
    {
        GuiScreen* screen = Build("<BRIEFING>\n<" + std::string(kind) + "> property filter " + std::to_string(filter) +
                                  "; property coord 0.25 0.25 0.5 0.5; property sel_hold_var gui_test_weapon_choice; "
                                  "property sel_fn gx_updateweaponinfo; </" +
                                  kind +
                                  ">\n<EDITBOX> property name rifle_info; </EDITBOX>\n"
                                  "<EDITBOX> property name smg_info; </EDITBOX>\n</BRIEFING>\n");
        return ControlAt<GuiWeaponList>(screen, 0);
    }
    static std::vector<std::string> Names(const GuiWeaponList& list)
    {
        std::vector<std::string> names;
        for (const GuiWeaponEntry& entry : list.entries)
            names.emplace_back(entry.weaponName.Text());
        return names;
    }
    static std::string InfoText(const char* control)
    {
        auto* box = dynamic_cast<GuiEditBox*>(GuiFindItem(control));
        return box ? box->Text() : "(none)";
    }

private:
    std::string m_map;
    std::string m_primary;
};

TEST_F(WeaponLists, TheMissionOffersItsWeaponsOfTheCategoryOnly)
{
    Arsenal();
    GuiWeaponList* primary = List("WEAPONLIST", 0);
    ASSERT_NE(primary, nullptr);
    primary->OnActivate(g_gui.currentScreen);
    // launcher is the rifle's subweapon; pistol is listed under primary but is a secondary; "primary"
    // in lower case is no type; stray has none.
    EXPECT_EQ(Names(*primary), (std::vector<std::string>{"rifle", "smg"}));
    EXPECT_STREQ(g_weaponChoice.String(), "rifle");

    GuiFreeScreens();
    GuiWeaponList* secondary = List("WEAPONLIST", 1);
    ASSERT_NE(secondary, nullptr);
    secondary->OnActivate(g_gui.currentScreen);
    EXPECT_EQ(Names(*secondary), (std::vector<std::string>{"pistol"}));

    // Without the mission's weapon file nothing is offered.
    std::remove("mission/testmap/mission.wpn");
    DefFileFreeAll();
    secondary->RefreshData();
    EXPECT_EQ(secondary->Count(), 0u);
    secondary->OnIncrement();
    secondary->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), kBlack);
}

TEST_F(WeaponLists, CurrentWeaponPreselectsAndSteppingWrapsBothWays)
{
    Arsenal();
    gs_curprimaryweapon.SetString("SMG_FILE");
    GuiWeaponList* list = List("WEAPONLIST", 0);
    ASSERT_NE(list, nullptr);
    list->OnActivate(g_gui.currentScreen);
    ASSERT_EQ(list->Count(), 2u);
    EXPECT_EQ(list->selected, 1u);
    EXPECT_STREQ(g_weaponChoice.String(), "smg") << "the weapon's name, not its file's";
    EXPECT_EQ(InfoText("smg_info"), "smg") << "gx_updateweaponinfo ran with the list";
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), 0xFF0000FFu);

    list->OnIncrement();
    EXPECT_EQ(list->selected, 0u) << "after the last comes the first";
    EXPECT_STREQ(g_weaponChoice.String(), "rifle");
    EXPECT_EQ(InfoText("rifle_info"), "rifle");
    list->OnDecrement();
    EXPECT_EQ(list->selected, 1u) << "before the first comes the last";
    list->OnDecrement();
    EXPECT_EQ(list->selected, 0u);
    NextFrame();
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), 0xFFFF0000u);

    // Typed at the console, and run by a control that is no list, the command has nothing to read.
    EXPECT_EQ(gx_updateweaponinfo.value.handler(nullptr), -1);
    GuiEditBox notAList;
    EXPECT_EQ(gx_updateweaponinfo.CallFromControl(nullptr, &notAList), -1);
}

TEST_F(WeaponLists, FullTablesStopTakingMore)
{
    // 140 primary weapon files, the mission allowing 20 of them: 128 files are read and 16 names of
    // a category taken.
    std::string allowed = "primary";
    for (int i = 0; i < 140; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "w%03d", i);
        Weapon(std::string(name) + ".def", std::string("weapon ") + name + "\ntype PRIMARY\nsubweapon x" + name + "\n");
        if (i < 20)
            allowed += std::string(" ") + name;
    }
    MissionWeapons(allowed + "\n");
    GuiWeaponList* list = List("WEAPONLIST", 0);
    ASSERT_NE(list, nullptr);
    list->RefreshData();
    EXPECT_EQ(list->Count(), 16u);
    EXPECT_EQ(Names(*list).back(), "w015");

    MissionWeapons("primary w130 w139 w000\n");
    DefFileFreeAll();
    list->RefreshData();
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"w000"})) << "files past the 128th are not read";
}

TEST_F(WeaponLists, NetActorListOffersNetClassesAndKeepsItsSelectionInRange)
{
    ASSERT_TRUE(WriteFileBytes("object/actors/guard.def", "guiimage red\n"));
    ASSERT_TRUE(WriteFileBytes("object/actors/Netbad.def", "guiimage red\n"));
    ASSERT_TRUE(WriteFileBytes("object/actors/netplain.def", "speed 3\n"));
    ASSERT_TRUE(WriteFileBytes("object/actors/soldier_net.def", "guiimage red\n"));
    GuiWeaponList* list = List("NETACTORLIST", 0);
    ASSERT_NE(dynamic_cast<GuiNetActorList*>(list), nullptr);
    list->OnActivate(g_gui.currentScreen);
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"netplain", "soldier_net"}));
    EXPECT_STREQ(g_weaponChoice.String(), "netplain");

    // The class without a picture is selectable and draws nothing; the other draws its picture.
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), kBlack);
    list->OnIncrement();
    EXPECT_STREQ(g_weaponChoice.String(), "soldier_net");
    NextFrame();
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), 0xFFFF0000u);

    // A refresh that drops classes moves a selection beyond the end to the last class.
    std::remove("object/actors/netplain.def");
    list->OnActivate(g_gui.currentScreen);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_EQ(list->selected, 0u);
    EXPECT_STREQ(g_weaponChoice.String(), "soldier_net");
}

}  // namespace
