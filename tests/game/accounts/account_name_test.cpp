// Account names become file names ("accounts\" + name + ".acc"): creation and renaming refuse what
// the file system cannot hold, and a name differing only in case from an existing one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "account_fixture.h"

namespace {

TEST_F(AccountTest, NamesTheFileSystemCannotHoldAreRefusedAndWriteNoFile)
{
    ASSERT_EQ(Create("bob"), 0);
    const std::string longest(ACCOUNT_NAME_MAX, 'n');
    const std::string tooLong(ACCOUNT_NAME_MAX + 1, 'n');
    struct Case {
        std::string name;
        const char* message;  // "" when accepted
    };
    const Case cases[] = {
        {".", "_fnmsg_invalid_acc_name"},
        {"..", "_fnmsg_invalid_acc_name"},
        {"ab", "_fnmsg_too_short_acc_name"},
        {"...", "_fnmsg_invalid_acc_name"},
        {"a..b", "_fnmsg_invalid_acc_name"},
        {"ab/c", "_fnmsg_invalid_acc_name"},
        {"ab\\c", "_fnmsg_invalid_acc_name"},
        {"ab:c", "_fnmsg_invalid_acc_name"},
        {"ab\x01"
         "c",
         "_fnmsg_invalid_acc_name"},
        {"ab\tc", "_fnmsg_invalid_acc_name"},
        {"ab\x7F"
         "c",
         "_fnmsg_invalid_acc_name"},
        {tooLong, "_fnmsg_invalid_acc_name"},
        {"BOB", "_fnmsg_account_exists"},
        {longest, ""},
        {"a.b", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const s32_t before = AccountCount();
        g_gui.lastMessageKey.Assign("");
        EXPECT_EQ(Create(c.name.c_str()), c.message[0] ? 1 : 0);
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), c.message);
        EXPECT_EQ(AccountCount(), before + (c.message[0] ? 0 : 1));
    }
    // Only bob and the two good names have files.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TempPath() + "/accounts"))
        files += entry.path().extension() == ".acc" ? 1 : 0;
    EXPECT_EQ(files, 3u);
    EXPECT_FALSE(FileOf(longest.c_str()).empty());
}

TEST_F(AccountTest, RenamingUsesTheSameCheck)
{
    ASSERT_EQ(Create("bob", "pw"), 0);
    PlayerAccount* bob = AccountFindByName("bob");
    ASSERT_NE(bob, nullptr);
    for (const char* bad : {"x/y", "..", "c:\\z"}) {
        SCOPED_TRACE(bad);
        as_curaccount.SetString(bad);
        EXPECT_EQ(ax_updateaccname.value.handler(nullptr), -1);
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_invalid_acc_name");
        as_curaccount.SetString(bad);
        as_curpassword.SetString("pw2");
        EXPECT_EQ(ax_updateacc.value.handler(nullptr), -1);
        EXPECT_STREQ(bob->playerName.Text(), "bob");
    }
    as_curaccount.SetString("Robert");
    EXPECT_EQ(ax_updateaccname.value.handler(nullptr), 0);
    EXPECT_STREQ(bob->playerName.Text(), "Robert");
}

}  // namespace
